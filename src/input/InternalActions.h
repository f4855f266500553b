// The client's internal actions: 256 codes, the named ones bindable to keys (kind ACTION).
// This file holds their codes and names; ClientWindow::PerformInternalAction performs them,
// handing the user-interface part to the host.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

// Codes without a name here have none and cannot be bound.
enum class InternalAction : uint8_t {
    None = 0,
    Exec = 1,       // execute the input line
    ExecEmpty = 2,  // execute an empty command
    Exec1 = 3,      // Exec1 + n - 1: the n-th most recent history entry, to Exec10 = 12
    Exec10 = 12,
    Escape = 13,  // CLEAR found the input line empty
    ScrollLineUp = 16,
    ScrollLineDown = 17,
    ScrollPageUp = 18,
    ScrollPageDown = 19,
    // Named LEFT, RIGHT, TOP, BOTTOM in this order while they act as top, bottom, left and
    // right: settings files store the names, so the pairing stays.
    ScrollToTop = 20,
    ScrollToBottom = 21,
    ScrollColumnsLeft = 22,
    ScrollColumnsRight = 23,
    ScrollOn = 24,
    ScrollOff = 25,
    ScrollToggle = 26,
    ScrollSizeInc = 27,
    ScrollSizeDec = 28,
    HistLineUp = 32,
    HistLineDown = 33,
    HistPageUp = 34,
    HistPageDown = 35,
    HistTop = 36,
    HistBottom = 37,
    HistOn = 38,
    HistOff = 39,
    HistToggle = 40,
    HistSizeInc = 41,
    HistSizeDec = 42,
    HistDeselect = 43,
    HistRun = 44,
    CompletionAdd = 48,
    CompletionDel = 49,
    CompletionNext = 50,
    CompletionPrev = 51,
    OutputCopy = 64,
    ClipCut = 65,
    ClipCopy = 66,
    ClipPaste = 67,
    Del = 68,
    Clear = 69,
    SelectAll = 70,
    SelectNone = 71,
    Insert = 72,
    HardSpace = 73,
    HardReturn = 74,
    HardTab = 75,
    SetupAliases = 80,  // to SetupScripts = 87, one per setup page
    SetupSetup = 88,
    SetupNewAlias = 96,  // to SetupNewScript = 103
    Quit = 112,
    Fullscreen = 113,
    ForceKeycode = 255,
};

// The action's name ("NONE" for 0), or empty for a code without one.
std::string_view ActionName(int code);
// The first of codes 1 to 255 whose name equals `name` without regard to case; -1 when
// none does ("NONE" is not accepted).
int FindAction(std::string_view name);

}  // namespace zel
