// MudStream: see MudStream.h. The text comes from the demo world's rooms and small tables of
// people, creatures and phrases; `%` slots in the patterns are filled from them (see Fill).
#include "demo/MudStream.h"

#include <algorithm>
#include <cctype>

#include "demo/Ansi.h"
#include "demo/DemoRooms.h"

namespace zel::demo {
namespace {

using namespace ansi;
using telnet::kGoAhead;
using telnet::kNoOperation;
constexpr std::string_view kPromptColour = kExits;

constexpr size_t kShortestLine = 40;

const std::vector<std::string_view> kPeople = {"Elwen",   "Gandor",   "Thrain",    "Miriel",
                                               "Borowyn", "Halbarad", "Lothiriel", "Dagnir"};
const std::vector<std::string_view> kCreatures = {
    "the cave troll", "a goblin scout", "a scrawny black crow", "a black-hooded thief",
    "a grey wolf",    "an orc archer",  "a huge hill giant",    "the old ferryman"};
const std::vector<std::string_view> kWeapons = {"longsword",  "rusty dagger", "oaken staff",
                                                "battle axe", "iron mace",    "hunting spear"};
const std::vector<std::string_view> kHowHard = {"very hard", "extremely hard", "hard", "lightly",
                                                "with a sickening crunch"};
// Verbs in the second and third person, at the same index.
const std::vector<std::string_view> kHitYouForm = {"slash",  "pierce", "crush",
                                                   "cleave", "stab",   "bash"};
const std::vector<std::string_view> kHitThirdPerson = {"slashes", "pierces", "crushes",
                                                       "cleaves", "stabs",   "bashes"};
const std::vector<std::string_view> kConditions = {
    "is bleeding freely", "has some small wounds and bruises", "is in awful condition",
    "looks slightly hurt", "is covered in blood and staggers"};
const std::vector<std::string_view> kTalk = {
    "Has anyone seen the ferryman today?",
    "Selling a bundle of good arrows, cheap! Meet me in the market.",
    "Group for the troll caves, we still need a healer.",
    "The bridge is clear now, the orcs went east.",
    "Thanks for the heal, that was close!",
    "Does anyone know where athelas grows around here?",
    "Watch out for the thief in the square, he took my purse.",
    "Who wants to explore the old forest with me tonight?"};
const std::vector<std::string_view> kArrivals = {"%p arrives from %f, looking tired and dusty.",
                                                 "%p arrives from %f and nods to you in greeting.",
                                                 "%M wanders in from %f, looking for trouble.",
                                                 "%M creeps in from %f, keeping to the shadows."};
const std::vector<std::string_view> kDepartures = {
    "%p leaves %d, humming an old walking song.", "%M leaves %d in a great hurry.",
    "%p stops following you and heads off %d.", "%M slinks away %d without a sound."};
const std::vector<std::string_view> kCreaturesHere = {"%M is here, watching you carefully.",
                                                      "%M stands here, minding its own business."};
const std::vector<std::string_view> kPeopleHere = {"%p the Ranger is resting here by the wall.",
                                                   "%p is sitting here, mending a torn cloak."};
const std::vector<std::string_view> kYouAttack = {"You %h %m %x with your %w.",
                                                  "Your %w grazes %m as you %h wildly."};
const std::vector<std::string_view> kAttacksYou = {"%M %s you %x, and you reel from the blow.",
                                                   "%M tries to %h you, but you dodge the attack.",
                                                   "%M %s your shield arm %x."};
const std::vector<std::string_view> kOthersFight = {
    "%p %s %m %x with a heavy %w.", "%M %c.", "%p dodges a wild blow from %m and strikes back."};
const std::vector<std::string_view> kWeather = {
    "The sun slowly rises above the misty hills in the east.",
    "Dark clouds gather overhead and a cold rain begins to fall.",
    "A chill wind sweeps across the land, rattling the shutters.",
    "The moon rises, pale and thin, above the treetops.",
    "You are hungry, and your stomach rumbles loudly."};
// Added to a line that came out shorter than kShortestLine.
const std::vector<std::string_view> kTails = {"The torches flicker in a sudden draught.",
                                              "Somewhere far away a dog barks twice.",
                                              "Dust drifts slowly in the pale light."};

std::string Capitalised(std::string_view text)
{
    std::string s(text);
    if (!s.empty()) s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

}  // namespace

MudStream::MudStream(uint32_t seed) : random_(seed) {}

std::string MudStream::Next(size_t bytes)
{
    std::string out;
    out.reserve(bytes);
    while (out.size() < bytes) {
        if (at_ == block_.size()) NextBlock();
        const size_t want = std::min(bytes - out.size(), block_.size() - at_);
        size_t end = at_ + want;
        for (const auto& [begin, finish] : escapes_)
            if (begin < end && end < finish) end = begin;
        out.append(block_, at_, end - at_);
        const bool escapeWouldBeCut = end < at_ + want;
        at_ = end;
        if (escapeWouldBeCut) break;
    }
    out.resize(bytes, ' ');
    return out;
}

void MudStream::NextBlock()
{
    // After a prompt, output starts on a fresh line as most servers do it.
    const bool afterPrompt = !block_.empty() && blocksToPrompt_ == 0;
    block_.clear();
    escapes_.clear();
    at_ = 0;
    if (afterPrompt) {
        block_ += "\r\n";
        blocksToPrompt_ = 2 + Below(4);
    }
    const unsigned kind = Below(100);
    if (kind < 15)
        Room();
    else if (kind < 45)
        Combat();
    else if (kind < 70)
        Talk();
    else if (kind < 90)
        Movement();
    else
        Weather();
    if (Below(25) == 0) Escape(kNoOperation);
    if (--blocksToPrompt_ == 0) Prompt();
}

void MudStream::Room()
{
    const auto& rooms = DemoRooms();
    const DemoRoom& room = rooms[Below(unsigned(rooms.size()))];
    LineParts({{kTitle, std::string(room.title)}, {kExits, " [ Exits: " + ExitNames(room) + " ]"}});
    for (std::string_view text : room.description) Line(kPlain, std::string(text));
    for (unsigned n = Below(3); n > 0; --n) {
        if (Below(2))
            Line(kCreature, Fill(Pick(kCreaturesHere)));
        else
            Line(kPerson, Fill(Pick(kPeopleHere)));
    }
}

void MudStream::Combat()
{
    for (unsigned n = 2 + Below(3); n > 0; --n) {
        switch (Below(3)) {
            case 0:
                Line(kYouHit, Fill(Pick(kYouAttack)));
                mana_ = std::max(0, mana_ - int(Below(3)));
                break;
            case 1:
                Line(kHitYou, Fill(Pick(kAttacksYou)));
                hp_ -= int(Below(15));
                break;
            default:
                Line(kPlain, Fill(Pick(kOthersFight)));
        }
    }
    if (hp_ < 30) {
        Line(kPlain, "You quaff a healing potion and feel much better.");
        hp_ = 120;
        mana_ = 80;
    }
}

void MudStream::Talk()
{
    const std::string person = Pick(kPeople);
    const std::string text = Pick(kTalk);
    switch (Below(4)) {
        case 0:
            LineParts({{kPerson, person}, {kSay, " says '" + text + "'"}});
            break;
        case 1:
            LineParts({{kPerson, person}, {kTell, " tells you '" + text + "'"}});
            break;
        case 2:
            LineParts({{kGossip, "[gossip] " + person + ": " + text}});
            break;
        default:
            LineParts({{kPerson, person}, {kSay, " shouts '" + text + "'"}});
    }
}

void MudStream::Movement()
{
    Line(kPlain, Fill(Pick(Below(2) ? kArrivals : kDepartures)));
    moves_ = moves_ > 10 ? moves_ - 1 : 140;
}

void MudStream::Weather()
{
    Line(kPlain, Pick(kWeather));
}

void MudStream::Prompt()
{
    Escape(kPromptColour);
    block_ += "<" + std::to_string(hp_) + "hp " + std::to_string(mana_) + "m " +
              std::to_string(moves_) + "mv>";
    Escape(kReset);
    block_ += ' ';
    if (Below(5) != 0) Escape(kGoAhead);
}

void MudStream::Escape(std::string_view bytes)
{
    escapes_.emplace_back(block_.size(), block_.size() + bytes.size());
    block_ += bytes;
}

void MudStream::Line(std::string_view colour, std::string text)
{
    LineParts({{colour, std::move(text)}});
}

void MudStream::LineParts(std::initializer_list<std::pair<std::string_view, std::string>> parts)
{
    size_t visible = 0;
    for (const auto& [colour, text] : parts) {
        Escape(colour);
        block_ += text;
        visible += text.size();
    }
    if (visible < kShortestLine) {
        block_ += ' ';
        block_ += Pick(kTails);
    }
    Escape(kReset);
    block_ += "\r\n";
}

std::string MudStream::Pick(const std::vector<std::string_view>& choices)
{
    return std::string(choices[Below(unsigned(choices.size()))]);
}

// Slots: %p a person, %m a creature (%M at the start of a sentence), %d a direction, %f where
// one comes from, %w a weapon, %x how hard, %h and %s a hit verb in the second and third
// person (the same verb in one line), %c a creature's condition.
std::string MudStream::Fill(std::string_view pattern)
{
    const unsigned verb = Below(unsigned(kHitYouForm.size()));
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
            case 'p':
                out += Pick(kPeople);
                break;
            case 'm':
                out += Pick(kCreatures);
                break;
            case 'M':
                out += Capitalised(Pick(kCreatures));
                break;
            case 'd':
                out += DirectionName(Direction(Below(kDirections)));
                break;
            case 'f':
                out += ArrivalSide(Direction(Below(kDirections)));
                break;
            case 'w':
                out += Pick(kWeapons);
                break;
            case 'x':
                out += Pick(kHowHard);
                break;
            case 'h':
                out += kHitYouForm[verb];
                break;
            case 's':
                out += kHitThirdPerson[verb];
                break;
            case 'c':
                out += Pick(kConditions);
                break;
            default:
                out += pattern[i];
        }
    }
    return out;
}

std::string GenerateMudStream(size_t bytes, uint32_t seed)
{
    return MudStream(seed).Next(bytes);
}

std::string WithAccents(std::string_view stream, bool utf8)
{
    const std::string_view acute = utf8 ? "\xC3\xA9 " : "\xE9 ";
    const std::string_view ellipsis = utf8 ? "\xE2\x80\xA6" : "\x85";
    std::string out;
    out.reserve(stream.size() + stream.size() / 16);
    for (size_t at = 0; at < stream.size();) {
        if (stream.compare(at, 2, "e ") == 0) {
            out += acute;
            at += 2;
        } else if (stream.compare(at, 3, "...") == 0) {
            out += ellipsis;
            at += 3;
        } else {
            out += stream[at++];
        }
    }
    return out;
}

}  // namespace zel::demo
