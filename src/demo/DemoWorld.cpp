// DemoWorld and DemoSession: see DemoWorld.h. Commands are one table; texts are constants.
#include "demo/DemoWorld.h"

#include "base/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "demo/Ansi.h"
#include "demo/DemoRooms.h"
#include "demo/MudStream.h"

namespace zel::demo {
namespace {

// The greeting: lines framed in a box of kBannerWidth columns.
constexpr size_t kBannerWidth = 50;
constexpr std::pair<std::string_view, std::string_view> kBannerLines[] = {
    {ansi::kCreature, "Welcome to the ZEL demo village!"},
    {ansi::kPlain, "A tiny world on your own computer to try the"},
    {ansi::kPlain, "client in: any name and any password will do."},
};
constexpr std::string_view kAskName = "By what name do you wish to be known? ";
constexpr std::string_view kBadName = "A name is 2 to 12 letters, nothing else. Try again.";
constexpr std::string_view kNameTaken = " is already in the village. Choose another name.";
constexpr std::string_view kAskPassword = "Password: ";
constexpr std::string_view kWelcome = "! Type help to see what you can do.";
constexpr std::string_view kHuh = "Huh?";
constexpr std::string_view kNoExit = "Alas, you cannot go that way.";
constexpr std::string_view kSayWhat = "Say what?";
constexpr std::string_view kFloodUsage = "Usage: flood [kilobytes], 1 to 65536 (default 256).";
constexpr std::string_view kGoodbye = "Goodbye, ";
constexpr std::string_view kHelp =
    "Commands:\r\n"
    "  look (l)                  look around\r\n"
    "  north east south west up down (n e s w u d)\r\n"
    "                            walk that way\r\n"
    "  say <text>                talk to the players in the room\r\n"
    "  who                       list the players in the village\r\n"
    "  flood [kilobytes]         a torrent of coloured MUD text (default 256)\r\n"
    "  help                      this list\r\n"
    "  quit                      leave the village\r\n";

constexpr size_t kShortestName = 2;
constexpr size_t kLongestName = 12;
constexpr size_t kStartRoom = 0;
constexpr size_t kFloodChunk = 65536;

enum class Verb { Go, Look, Say, Who, Help, Flood, Quit };

struct Command {
    std::string_view name;
    size_t shortest;  // how much of the name must be typed
    Verb verb;
    Direction direction = Direction::North;
};

// In order of precedence for abbreviations: "s" is south, "sa" say.
constexpr Command kCommands[] = {
    {"north", 1, Verb::Go, Direction::North},
    {"east", 1, Verb::Go, Direction::East},
    {"south", 1, Verb::Go, Direction::South},
    {"west", 1, Verb::Go, Direction::West},
    {"up", 1, Verb::Go, Direction::Up},
    {"down", 1, Verb::Go, Direction::Down},
    {"look", 1, Verb::Look},
    {"say", 2, Verb::Say},
    {"who", 2, Verb::Who},
    {"help", 1, Verb::Help},
    {"flood", 5, Verb::Flood},
    {"quit", 4, Verb::Quit},
};

const Command* FindCommand(std::string_view word)
{
    std::string lower(word);
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const Command& command : kCommands)
        if (lower.size() >= command.shortest && command.name.starts_with(lower)) return &command;
    return nullptr;
}

std::string_view Trimmed(std::string_view text)
{
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// "elwen" -> "Elwen"; empty unless the name is 2 to 12 ASCII letters.
std::string NormalName(std::string_view typed)
{
    if (typed.size() < kShortestName || typed.size() > kLongestName) return {};
    std::string name;
    for (const char c : typed) {
        const auto byte = static_cast<unsigned char>(c);
        if (!std::isalpha(byte) || byte >= 0x80) return {};
        name += char(name.empty() ? std::toupper(byte) : std::tolower(byte));
    }
    return name;
}

// What a player says reaches others without control bytes (no escapes, no telnet).
std::string Printable(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f && c != '\xff') out += c;
    return out;
}

std::string Banner()
{
    const std::string rule = std::string(ansi::kFrame) + "  +" + std::string(kBannerWidth, '-') +
                             "+" + std::string(ansi::kReset) + "\r\n";
    std::string banner = "\r\n" + rule;
    for (const auto& [colour, text] : kBannerLines) {
        const size_t left = (kBannerWidth - text.size()) / 2;
        banner += std::string(ansi::kFrame) + "  |" + std::string(colour) + std::string(left, ' ') +
                  std::string(text) + std::string(kBannerWidth - left - text.size(), ' ') +
                  std::string(ansi::kFrame) + "|" + std::string(ansi::kReset) + "\r\n";
    }
    return banner + rule + "\r\n";
}

}  // namespace

// --- DemoWorld ---

bool DemoWorld::Join(DemoSession& session, const std::string& name, size_t room)
{
    std::scoped_lock lock(mutex_);
    for (const Player& p : players_)
        if (p.name == name) return false;
    players_.push_back({&session, name, room});
    return true;
}

void DemoWorld::Leave(DemoSession& session)
{
    std::scoped_lock lock(mutex_);
    std::erase_if(players_, [&](const Player& p) { return p.session == &session; });
}

void DemoWorld::Move(DemoSession& session, size_t room)
{
    std::scoped_lock lock(mutex_);
    for (Player& p : players_)
        if (p.session == &session) p.room = room;
}

std::vector<std::string> DemoWorld::Names() const
{
    std::scoped_lock lock(mutex_);
    std::vector<std::string> names;
    for (const Player& p : players_) names.push_back(p.name);
    return names;
}

std::vector<std::string> DemoWorld::NamesIn(size_t room, const DemoSession& except) const
{
    std::scoped_lock lock(mutex_);
    std::vector<std::string> names;
    for (const Player& p : players_)
        if (p.room == room && p.session != &except) names.push_back(p.name);
    return names;
}

void DemoWorld::TellRoom(size_t room, const DemoSession& except, const std::string& text) const
{
    std::scoped_lock lock(mutex_);
    for (const Player& p : players_)
        if (p.room == room && p.session != &except) p.session->Post(text);
}

// --- DemoSession ---

DemoSession::DemoSession(DemoWorld& world, Link& link) : world_(world), link_(link) {}

DemoSession::~DemoSession()
{
    End();
}

void DemoSession::Start()
{
    out_ += telnet::kDoCharset;
    out_ += Banner();
    Ask(kAskName);
    Flush();
}

void DemoSession::Feed(std::string_view bytes)
{
    std::vector<std::string> lines;
    reader_.Feed(bytes, lines);
    for (const TelnetLineReader::Negotiation& n : reader_.TakeNegotiations()) Negotiate(n);
    for (const std::string& line : lines) {
        if (Ended()) return;
        RunLine(line);
    }
    Flush();
}

void DemoSession::RunLine(const std::string& line)
{
    switch (state_) {
        case State::Name:
            ReadName(line);
            break;
        case State::Password:
            ReadPassword(line);
            break;
        case State::Playing:
            RunCommand(line);
            break;
        case State::Ended:
            break;
    }
}

void DemoSession::ReadName(const std::string& line)
{
    const std::string typed(Trimmed(line));
    name_ = NormalName(typed);
    const auto online = world_.Names();
    if (typed.empty()) {
        // Just ask again.
    } else if (name_.empty()) {
        Print("", kBadName);
    } else if (std::find(online.begin(), online.end(), name_) != online.end()) {
        Print("", name_ + std::string(kNameTaken));
    } else {
        // The client hides what is typed while the server says it echoes.
        out_ += telnet::kWillEcho;
        Ask(kAskPassword);
        state_ = State::Password;
        return;
    }
    Ask(kAskName);
}

void DemoSession::ReadPassword(const std::string& line)
{
    if (line.empty()) {
        out_ += "\r\n";
        Ask(kAskPassword);
        return;
    }
    out_ += telnet::kWontEcho;
    out_ += "\r\n";
    if (!world_.Join(*this, name_, kStartRoom)) {  // taken while the password was typed
        Print("", name_ + std::string(kNameTaken));
        Ask(kAskName);
        state_ = State::Name;
        return;
    }
    joined_ = true;
    room_ = kStartRoom;
    state_ = State::Playing;
    Print(ansi::kCreature, "Welcome to the village, " + name_ + std::string(kWelcome));
    world_.TellRoom(room_, *this, name_ + " has entered the village.");
    Look();
    Prompt();
}

void DemoSession::RunCommand(const std::string& line)
{
    const std::string_view text = Trimmed(line);
    const size_t space = text.find(' ');
    const std::string_view word = text.substr(0, space);
    const std::string_view args =
        space == std::string_view::npos ? "" : Trimmed(text.substr(space));
    const Command* command = word.empty() ? nullptr : FindCommand(word);
    if (!word.empty() && !command) Print("", kHuh);
    if (command) {
        switch (command->verb) {
            case Verb::Go:
                Go(command->direction);
                break;
            case Verb::Look:
                Look();
                break;
            case Verb::Say:
                Say(args);
                break;
            case Verb::Who:
                Who();
                break;
            case Verb::Help:
                out_ += kHelp;
                break;
            case Verb::Flood:
                Flood(args);
                break;
            case Verb::Quit:
                Quit();
                return;
        }
    }
    if (!Ended()) Prompt();
}

void DemoSession::Go(Direction d)
{
    const int to = DemoRooms()[room_].exits[size_t(d)];
    if (to == DemoRoom::kNoExit) {
        Print("", kNoExit);
        return;
    }
    world_.TellRoom(room_, *this, name_ + " leaves " + std::string(DirectionName(d)) + ".");
    room_ = size_t(to);
    world_.Move(*this, room_);
    world_.TellRoom(room_, *this, name_ + " arrives from " + std::string(ArrivalSide(d)) + ".");
    Look();
}

void DemoSession::Look()
{
    const DemoRoom& room = DemoRooms()[room_];
    Print(ansi::kTitle, room.title);
    for (const std::string_view text : room.description) Print("", Localized(text));
    Print(ansi::kExits, "[ Exits: " + ExitNames(room) + " ]");
    Print(ansi::kCreature, Localized(room.inhabitant));
    for (const std::string& name : world_.NamesIn(room_, *this))
        Print(ansi::kPerson, name + " is standing here.");
}

void DemoSession::Say(std::string_view text)
{
    const std::string said = Printable(text);
    if (said.empty()) {
        Print("", kSayWhat);
        return;
    }
    Print(ansi::kSay, "You say '" + said + "'");
    world_.TellRoom(room_, *this,
                    std::string(ansi::kPerson) + name_ + std::string(ansi::kSay) + " says '" +
                        said + "'" + std::string(ansi::kReset));
}

void DemoSession::Who()
{
    const auto names = world_.Names();
    Print(ansi::kTitle, "Players in the village:");
    for (const std::string& name : names) Print(ansi::kPerson, "  " + name);
    Print("",
          std::to_string(names.size()) + (names.size() == 1 ? " player" : " players") + " online.");
}

void DemoSession::Flood(std::string_view args)
{
    uint32_t kilobytes = kDefaultFloodKilobytes;
    if (!args.empty()) {
        const auto [end, error] =
            std::from_chars(args.data(), args.data() + args.size(), kilobytes);
        if (error != std::errc() || end != args.data() + args.size() || kilobytes == 0 ||
            kilobytes > kMaximumFloodKilobytes) {
            Print("", kFloodUsage);
            return;
        }
    }
    Flush();
    MudStream stream(++floods_);
    for (size_t left = size_t(kilobytes) * 1024; left > 0 && !Ended();) {
        out_ = stream.Next(std::min(left, kFloodChunk));
        left -= out_.size();
        Flush();
    }
    out_ += "\r\n";  // the stream may end inside a line
}

void DemoSession::Quit()
{
    Print(ansi::kCreature, std::string(kGoodbye) + name_ + ". Come back soon!");
    Flush();
    End();
}

void DemoSession::End()
{
    if (joined_) {
        world_.Leave(*this);
        world_.TellRoom(room_, *this, name_ + " has left the village.");
        joined_ = false;
    }
    state_ = State::Ended;
}

void DemoSession::Post(const std::string& text)
{
    {
        std::scoped_lock lock(postMutex_);
        if (postedBytes_ + text.size() > kMaximumPosted) return;
        posted_.push_back(text);
        postedBytes_ += text.size();
    }
    link_.Wake();
}

void DemoSession::DeliverPosted()
{
    std::vector<std::string> posted;
    {
        std::scoped_lock lock(postMutex_);
        posted.swap(posted_);
        postedBytes_ = 0;
    }
    if (posted.empty() || state_ != State::Playing) return;
    out_ += "\r\n";  // off the prompt line
    for (const std::string& text : posted) Print("", text);
    Prompt();
    Flush();
}

// CHARSET: a client that will speak it is offered UTF-8 and Latin-1; one that accepts UTF-8
// gets the world's own text in UTF-8, any other in Latin-1.
void DemoSession::Negotiate(const TelnetLineReader::Negotiation& n)
{
    constexpr uint8_t kWill = 251, kSb = 250, kCharset = 42, kAccepted = 2;
    if (n.option != kCharset) return;
    if (n.command == kWill)
        out_ += telnet::kCharsetRequest;
    else if (n.command == kSb && !n.payload.empty() && uint8_t(n.payload[0]) == kAccepted)
        utf8_ = n.payload.substr(1) == "UTF-8";
}

std::string DemoSession::Localized(std::string_view text) const
{
    if (utf8_) return std::string(text);
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        out += c.code < 0x100 ? char(c.code) : '?';
        at += c.length;
    }
    return out;
}

void DemoSession::Print(std::string_view colour, std::string_view text)
{
    out_ += colour;
    out_ += text;
    if (!colour.empty()) out_ += ansi::kReset;
    out_ += "\r\n";
}

void DemoSession::Ask(std::string_view question)
{
    out_ += question;
    out_ += telnet::kGoAhead;
}

void DemoSession::Prompt()
{
    Ask("<" + name_ + "> [" + std::string(DemoRooms()[room_].name) + "] > ");
}

void DemoSession::Flush()
{
    if (out_.empty() || Ended()) return;
    if (!link_.Send(out_)) End();
    out_.clear();
}

}  // namespace zel::demo
