// The questions both terminal hosts ask, in their own words each time.
#pragma once

namespace zel {

// Asked at quitting with unsaved settings; the answer is one of y, n, c.
inline constexpr char kSaveQuestion[] =
    "Settings have changed. Save them before quitting? [y]es, [n]o, [c]ancel";
inline constexpr char kSaveFileQuestion[] = "Save settings to: ";
inline constexpr char kFileQuestion[] = "File name: ";

}  // namespace zel
