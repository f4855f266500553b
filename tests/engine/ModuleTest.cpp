// A subsystem plugs in as a module: its commands, settings section and state reach the
// client without any change to the engine.
#include <gtest/gtest.h>

#include <vector>

#include "TestClient.h"
#include "engine/SettingsFile.h"
#include "lang/SettingsWriter.h"

namespace zel {
namespace {

struct ChimeState : ModuleState {
    int rung = 0;
};

ZEL_COMMAND(CmdChime)
{
    (void)id;
    ChimeState& state = client.State<ChimeState>();
    ++state.rung;
    client.PrintLineFormatted(OutputFormat::System, "CHIME %d %.*s", state.rung, int(args.size()),
                              args.data());
    return 0;
}

void WriteChimeSettings(ClientWindow& client, SettingsWriter& writer)
{
    writer.PlainCommand("chime " + std::to_string(client.State<ChimeState>().rung));
}

constexpr CommandRow kChimeRows[] = {
    {"chime", 900, CmdChime, "|chime [text]", "rings the chime"},
};
constexpr SectionRow kChimeSections[] = {{"WAVES", WriteChimeSettings}};
const Module kChimeModule = {
    "chime", kChimeRows, kChimeSections,
    [](ClientWindow&) -> std::unique_ptr<ModuleState> { return std::make_unique<ChimeState>(); }};

std::vector<const Module*> ModulesWithChime()
{
    std::vector<const Module*> modules(AllModules().begin(), AllModules().end());
    modules.push_back(&kChimeModule);
    return modules;
}

TEST(Module, CommandsStateAndSectionsComeFromTheModule)
{
    const std::vector<const Module*> modules = ModulesWithChime();
    test::RecordingHost host;
    ClientWindow client(host, modules);
    client.ExecuteLine("|chim loud", false, false);  // abbreviated, as any command
    client.ExecuteLine("|chime", false, false);
    EXPECT_EQ(client.State<ChimeState>().rung, 2);

    const std::string text = SettingsFileText(client, "x.zel", "", SettingsStamp{});
    const size_t waves = text.find("WAVES");
    ASSERT_NE(waves, std::string::npos);
    const size_t chime = text.find("|chime 2\n");
    ASSERT_NE(chime, std::string::npos) << text;
    EXPECT_GT(chime, waves);
    EXPECT_LT(chime, text.find("SESSIONS"));
    EXPECT_NE(client.Commands().Entries().find("chime"), client.Commands().Entries().end());
}

TEST(Module, TheClientsOwnModulesLeaveOthersOut)
{
    test::TestClient t;
    EXPECT_EQ(t.client.Commands().Entries().count("chime"), 0u);
    EXPECT_EQ(t.client.Commands().Entries().count("alias"), 1u);
    EXPECT_EQ(t.client.Commands().Entries().count("action"), 1u);
}

}  // namespace
}  // namespace zel
