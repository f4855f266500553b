// Window placement: the main window's rectangle, kept between runs in the user's settings
// ("Lumenhall"/"ZEL" through QSettings: an INI file in the user's configuration folder) as
// the four 32-bit values "left", "top", "right" and "bottom".
#pragma once

#include <cstdint>
#include <optional>

namespace zel {

// Screen pixels.
struct WindowRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

struct DesktopSize {
    int32_t width = 0, height = 0;
};

// The stored values; a value that is missing or not a valid integer is empty.
struct StoredWindowRect {
    std::optional<int32_t> left, top, right, bottom;
};

// The rectangle at creation: the middle quarter of the desktop, replaced by each stored
// value there is, then kept from outgrowing the desktop and from starting beyond it.
WindowRect PlaceWindow(DesktopSize desktop, const StoredWindowRect& stored);

StoredWindowRect LoadWindowRect();
void StoreWindowRect(const WindowRect& rect);

}  // namespace zel
