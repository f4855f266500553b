// The option fields of the client, with their defaults. The `option` command changes them;
// the subsystem that acts on an option reads its field here.
#pragma once

#include <cstdint>

namespace zel {

enum class ScrollPosition : int32_t { None = 0, Top = 1, Left = 2, Right = 3 };

// The words that name option values, for the option command and the settings file.
inline constexpr const char* kScrollPositionWords[] = {"none", "top", "left", "right"};
inline constexpr const char* kClearModeWords[] = {"off", "mix", "on"};

constexpr const char* OnOffWord(bool on)
{
    return on ? "on" : "off";
}
// "off" for 0, "on" for 2, "mix" for any other mode.
constexpr const char* ClearModeWord(int32_t mode)
{
    return mode == 0 ? "off" : mode == 2 ? "on" : "mix";
}
// The word of a ScrollPosition value; null for any other value.
constexpr const char* ScrollPositionWord(int32_t position)
{
    return position >= 0 && position <= 3 ? kScrollPositionWords[position] : nullptr;
}

// Fields read by the network thread (compact, scrollRate, autoNaws) are written only by
// the thread that runs command lines; readers there use std::atomic_ref.
struct Options {
    bool localEcho = true;
    bool compact = false;
    bool ansi = true;
    int32_t clearMode = 2;  // 0 off, 1 mix, 2 on
    bool tips = true;
    int32_t scrollSize = 16384;
    int32_t scrollPos = 1;  // a ScrollPosition value; others read as "unknown"
    int32_t scrollHeight = 50;
    int32_t scrollWidth = 50;
    int32_t scrollRate = 0;
    bool autoNaws = false;
    int32_t historyWindow = 3;
    int32_t historyActive = 3;
    int32_t historyTotal = 1000;
    int32_t historyIgnore = 0;
};

}  // namespace zel
