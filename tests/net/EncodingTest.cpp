// Text in the server's character set: received and split anywhere, matched by actions,
// shown, typed and sent, logged, and kept in settings files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "NetTestClient.h"
#include "TempFolder.h"
#include "TestClient.h"
#include "base/TextCodec.h"
#include "demo/DemoServer.h"
#include "engine/RecordingObserver.h"
#include "net/StreamReplay.h"

namespace zel::test {
namespace {

constexpr std::string_view kCafeUtf8 = "caf\xC3\xA9";
constexpr std::string_view kPrivetUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
constexpr std::string_view kPrivetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";

class Receiver : public TestClient {
public:
    explicit Receiver(std::string_view encoding = {})
    {
        if (!encoding.empty()) Run("|option encoding " + std::string(encoding));
        client.Output().Clear();
        client.Events().Add(&observer);
    }
    ~Receiver() { client.Events().Remove(&observer); }
    // The stream in two reads, then the line wait: every line held, '\n' after each.
    std::string Receive(std::string_view stream, size_t cut)
    {
        replay.ReceiveHeld(stream.substr(0, cut));
        replay.ReceiveHeld(stream.substr(cut));
        replay.LineWaitPassed();
        const OutputBuffer& out = client.Output();
        std::string text;
        for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
            text.append(out.Line(n)->Text());
            text += '\n';
        }
        return text;
    }
    StreamReplay replay{client};
    RecordingObserver observer;
};

TEST(Encoding, ReceivedTextIsTheSameAtEverySplit)
{
    const struct {
        std::string_view encoding;
        std::string wire;
        std::string shown;
    } cases[] = {
        {"UTF-8", "\x1b[31m" + std::string(kCafeUtf8) + "\x1b[0m \xE6\x97\xA5\xE6\x9C\xAC\r\n> ",
         std::string(kCafeUtf8) + " \xE6\x97\xA5\xE6\x9C\xAC\n> \n"},
        {"CP1251", "\x1b[1m" + std::string(kPrivetCp1251) + "\r\n",
         std::string(kPrivetUtf8) + "\n"},
        // The default: bytes are Windows-1252 characters, as they always were.
        {"", "caf\xE9\r\n", std::string(kCafeUtf8) + "\n"},
    };
    for (const auto& c : cases)
        for (size_t cut = 0; cut <= c.wire.size(); ++cut) {
            Receiver receiver(c.encoding);
            ASSERT_EQ(receiver.Receive(c.wire, cut), c.shown) << c.encoding << " cut " << cut;
        }
}

TEST(Encoding, ObserversAndActionsSeeTheEnginesForm)
{
    Receiver plain;
    plain.Receive("caf\xE9\r\n", 2);
    EXPECT_EQ(plain.observer.Events(), std::vector<std::string>{"line caf\xE9"});

    Receiver utf8("UTF-8");
    utf8.Receive("caf\xE9\r\n", 2);  // not UTF-8: the byte shows as U+FFFD
    EXPECT_EQ(utf8.observer.Events(), std::vector<std::string>{"line caf\xEF\xBF\xBD"});
}

// `.` is one character and a bracket holds characters under UTF-8; under Windows-1252
// each byte is one, as before.
TEST(Encoding, ActionsMatchCharacters)
{
    const std::string line = std::string(kCafeUtf8) + "!\r\n";
    const struct {
        std::string pattern;
        bool underUtf8, underDefault;
    } cases[] = {
        {"^caf.!", true, false},
        {"caf[\xC3\xA8\xC3\xA9]!", true, false},
        {"\xC3\xA9!", true, true},  // a literal: the same bytes either way
        {"^caf..!", false, true},
    };
    for (const auto& c : cases)
        for (const bool utf8 : {true, false}) {
            Receiver receiver(utf8 ? "UTF-8" : "");
            receiver.Run("|action add a {" + c.pattern + "} {} {} {MATCHED}");
            receiver.client.Output().Clear();
            EXPECT_EQ(receiver.Receive(line, 1).find("MATCHED") != std::string::npos,
                      utf8 ? c.underUtf8 : c.underDefault)
                << c.pattern << (utf8 ? " under UTF-8" : " by default");
        }
    // Actions made before the switch read characters after it.
    Receiver late;
    late.Run("|action add dot {^caf.!} {} {} {MATCHED}");
    late.Run("|option encoding utf8");
    late.client.Output().Clear();
    EXPECT_EQ(late.Receive(line, 0), "MATCHED\n");
}

TEST(Encoding, TheOptionRefusesWhatItCannotUse)
{
    TestClient c;
    EXPECT_EQ(c.Run("|option encoding"), std::vector<std::string>{"Encoding is Windows-1252"});
    EXPECT_EQ(
        c.Run("|option encoding klingon"),
        std::vector<std::string>{"Unknown encoding 'klingon' (|help option encoding lists them)"});
    EXPECT_EQ(c.client.GetOptions().encoding, 0);
    EXPECT_EQ(c.Run("|option encoding utf8"), std::vector<std::string>{"Encoding set to UTF-8"});
    EXPECT_EQ(c.Run("|option encoding"), std::vector<std::string>{"Encoding is UTF-8"});
    bool listed = false;
    for (const std::string& line : c.Run("|option"))
        listed = listed || (line.find("ENCODING") != std::string::npos && line.ends_with("UTF-8"));
    EXPECT_TRUE(listed);
    bool helped = false;
    for (const std::string& line : c.Run("|help option encoding"))
        helped = helped || line.find("KOI8-R") != std::string::npos;
    EXPECT_TRUE(helped);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Encoding, SettingsKeepNonAsciiDefinitions)
{
    TempFolder folder;
    const std::string file = folder / "utf8.zel";
    TestClient first;
    first.Run("|option encoding UTF-8");
    first.Run("|alias add " + std::string(kCafeUtf8) + " {say " + std::string(kPrivetUtf8) +
              "} {\xE6\x97\xA5\xE6\x9C\xAC}");
    first.Run("|write " + file);
    const std::string bytes = FileBytes(file);
    EXPECT_NE(bytes.find("option encoding UTF-8"), std::string::npos);
    EXPECT_LT(bytes.find("option encoding UTF-8"), bytes.find(kCafeUtf8));

    TestClient second;
    second.Run("|read " + file);
    EXPECT_EQ(second.client.GetOptions().encoding, 1);
    const Alias* alias = second.client.Aliases().Find(kCafeUtf8);
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->command, "say " + std::string(kPrivetUtf8));
    EXPECT_EQ(alias->description, "\xE6\x97\xA5\xE6\x9C\xAC");

    // The default writes no encoding line.
    TestClient plain;
    plain.Run("|write " + file);
    EXPECT_EQ(FileBytes(file).find("encoding"), std::string::npos);
}

TEST(Encoding, TypedTextIsSentAndLoggedInTheServersSet)
{
    TempFolder folder;
    const struct {
        std::string_view encoding;
        std::string typed;  // in the engine's form
        std::string wire;
    } cases[] = {
        {"", "caf\xE9", "caf\xE9"},
        {"UTF-8", std::string(kCafeUtf8), std::string(kCafeUtf8)},
        {"CP1251", std::string(kPrivetUtf8), std::string(kPrivetCp1251)},
    };
    for (const auto& c : cases) {
        NetTestClient net;
        if (!c.encoding.empty()) net.Run("|option encoding " + std::string(c.encoding));
        const std::string log = folder / "session.log";
        net.Run("|log " + log);
        ASSERT_TRUE(net.Connect());
        net.Run(c.typed);
        EXPECT_EQ(net.server.ReceiveUntil("\r\n"), c.wire + "\r\n") << c.encoding;
        net.Run("|log");
        EXPECT_NE(FileBytes(log).find(c.wire + "\r\n"), std::string::npos) << c.encoding;
    }
}

// A session carries its encoding after the port; starting it makes it the client's.
TEST(Encoding, ASessionCarriesItsEncoding)
{
    TempFolder folder;
    const std::string file = folder / "session.zel";
    NetTestClient net;
    net.Run("|session add mud 127.0.0.1 " + std::to_string(net.server.Port()) +
            " encoding=CP1251 hero {^Name} secret {^Password}");
    net.Run("|session add plain 127.0.0.1 4000");
    net.Run("|session add bad 127.0.0.1 4000 encoding=klingon");
    EXPECT_TRUE(net.WaitForOutput("Unknown encoding 'klingon'"));
    net.Run("|write " + file);
    const std::string bytes = FileBytes(file);
    EXPECT_NE(bytes.find("|session add {mud} {127.0.0.1} {" + std::to_string(net.server.Port()) +
                         "} {encoding=CP1251} {hero}"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("|session add {plain} {127.0.0.1} {4000} {} {} {} {}"), std::string::npos);
    EXPECT_EQ(bytes.find("{bad}"), std::string::npos);

    net.Run("|connect mud");
    ASSERT_TRUE(net.server.Accept(kWaitLimit));
    EXPECT_EQ(net.client.GetOptions().encoding, *FindEncoding("CP1251"));
    net.server.Send("Name: \r\n");
    EXPECT_EQ(net.server.ReceiveUntil("\r\n"), "hero\r\n");

    TestClient reader;
    reader.Run("|read " + file);
    std::scoped_lock lock(reader.client.DefinitionLock());
    ASSERT_NE(reader.client.Sessions().Find("mud"), nullptr);
    EXPECT_EQ(reader.client.Sessions().Find("mud")->encoding, "CP1251");
    EXPECT_EQ(reader.client.Sessions().Find("mud")->logonName, "hero");
}

// The demo world offers UTF-8 through CHARSET: by default the client refuses, and the
// world's own accented text comes in Latin-1; under UTF-8 it comes in UTF-8. Either way the
// player reads the same characters.
TEST(Encoding, TheDemoWorldSpeaksEitherSet)
{
    TempFolder folder;
    for (const bool utf8 : {false, true}) {
        demo::DemoServer world;
        NetTestClient net;
        const std::string log = folder / (utf8 ? "utf8.log" : "default.log");
        if (utf8) net.Run("|option encoding UTF-8");
        net.Run("|log " + log);
        net.Run("|session add d 127.0.0.1 " + std::to_string(world.Port()) +
                " Ann {^By what name.*} pw {^Password.*}");
        net.Run("|connect d");
        EXPECT_TRUE(net.WaitForOutput("Zo\xC3\xAB sells cr\xC3\xAApes.")) << utf8;
        net.Run("|log");
        const std::string bytes = FileBytes(log);
        EXPECT_NE(bytes.find(utf8 ? "Zo\xC3\xAB" : "Zo\xEB"), std::string::npos) << utf8;
    }
}

// CHARSET: refused as any unknown option by default; under UTF-8 agreed, and a request
// that lists UTF-8 accepted.
TEST(Encoding, CharsetIsAgreedOnlyForUtf8)
{
    const std::string kIac = "\xff";
    const std::string doCharset = kIac + "\xfd\x2a", willCharset = kIac + "\xfb\x2a";
    const auto request = [&](std::string_view sets) {
        return kIac + "\xfa\x2a\x01" + std::string(sets) + kIac + "\xf0";
    };
    const struct {
        std::string_view encoding;
        std::string received;
        std::string sent;
    } cases[] = {
        {"", doCharset, kIac + "\xfc\x2a"},
        {"", willCharset, kIac + "\xfe\x2a"},
        {"", request(";UTF-8"), ""},
        {"UTF-8", doCharset, kIac + "\xfb\x2a"},
        {"UTF-8", willCharset, kIac + "\xfd\x2a"},
        {"UTF-8", request(";ISO-8859-1;utf-8"), kIac + "\xfa\x2a\x02UTF-8" + kIac + "\xf0"},
        {"UTF-8", request("[TTABLE]\x01 UTF-8"), kIac + "\xfa\x2a\x02UTF-8" + kIac + "\xf0"},
        {"UTF-8", request(";KOI8-R"), kIac + "\xfa\x2a\x03" + kIac + "\xf0"},
        {"UTF-8", request(""), kIac + "\xfa\x2a\x03" + kIac + "\xf0"},
        {"CP1251", doCharset, kIac + "\xfc\x2a"},
    };
    for (const auto& c : cases) {
        Receiver receiver(c.encoding);
        receiver.replay.Receive(c.received);
        EXPECT_EQ(receiver.replay.Sent(), c.sent) << c.encoding << " " << c.received.size();
    }
}

}  // namespace
}  // namespace zel::test
