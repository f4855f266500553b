// The option fields of the client, with their defaults. The `option` command changes them
// as the option table (OptionTable.h) says; the subsystem that acts on an option reads its
// field here.
#pragma once

#include <cstdint>

namespace zel {

enum class ScrollPosition : int32_t { None = 0, Top = 1, Left = 2, Right = 3 };

// Fields read by the network thread (compact, scrollRate, autoNaws, lineWait) are written
// only by the thread that runs command lines; readers there use std::atomic_ref.
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
    // Milliseconds an unended received line waits for its rest: below the ~100 ms at which a
    // delay shows, far above the gaps between the TCP segments of one server write.
    int32_t lineWait = 50;
    int32_t scrollMemory = 256;  // megabytes of scroll-back
    // The server's character set: an index into the encoding list (base/TextCodec.h);
    // 0 is Windows-1252.
    int32_t encoding = 0;
};

}  // namespace zel
