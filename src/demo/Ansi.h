// The ANSI SGR colours and telnet commands that the demo world and MudStream send.
#pragma once

#include <string_view>

namespace zel::demo::ansi {

constexpr std::string_view kReset = "\x1b[0m";
constexpr std::string_view kTitle = "\x1b[1;36m";     // bright cyan: room titles
constexpr std::string_view kExits = "\x1b[0;32m";     // green: exits, prompts
constexpr std::string_view kCreature = "\x1b[1;33m";  // bright yellow
constexpr std::string_view kPerson = "\x1b[1;37m";    // bright white: players
constexpr std::string_view kSay = "\x1b[1;35m";       // bright magenta
constexpr std::string_view kTell = "\x1b[0;35m";
constexpr std::string_view kGossip = "\x1b[0;36m";
constexpr std::string_view kYouHit = "\x1b[0;33m";
constexpr std::string_view kHitYou = "\x1b[1;31m";
constexpr std::string_view kPlain = "\x1b[0;37m";
constexpr std::string_view kFrame = "\x1b[1;34m";

}  // namespace zel::demo::ansi

namespace zel::demo::telnet {

constexpr std::string_view kGoAhead = "\xff\xf9";        // IAC GA
constexpr std::string_view kNoOperation = "\xff\xf1";    // IAC NOP
constexpr std::string_view kWillEcho = "\xff\xfb\x01";   // IAC WILL ECHO
constexpr std::string_view kWontEcho = "\xff\xfc\x01";   // IAC WONT ECHO
constexpr std::string_view kDoCharset = "\xff\xfd\x2a";  // IAC DO CHARSET
// IAC SB CHARSET REQUEST ";UTF-8;ISO-8859-1" IAC SE
constexpr std::string_view kCharsetRequest = "\xff\xfa\x2a\x01;UTF-8;ISO-8859-1\xff\xf0";

}  // namespace zel::demo::telnet
