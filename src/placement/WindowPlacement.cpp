#include "placement/WindowPlacement.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace zel {
namespace {

constexpr char kOrganisation[] = "Lumenhall";
constexpr char kApplication[] = "ZEL";
// How far a window that started beyond the desktop is brought back onto it.
constexpr int32_t kVisiblePart = 120;

QSettings OpenSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
}

std::optional<int32_t> ReadValue(const QSettings& settings, const char* name)
{
    bool ok = false;
    const int value = settings.value(name).toString().toInt(&ok);
    if (!ok) return std::nullopt;
    return int32_t(value);
}

// One axis: `low` and `high` are left and right, or top and bottom.
void KeepOnDesktop(int32_t& low, int32_t& high, int32_t extent)
{
    if (int64_t(high) - low > extent) high = low + extent;
    if (low > extent) low = extent - kVisiblePart;
}

}  // namespace

WindowRect PlaceWindow(DesktopSize desktop, const StoredWindowRect& stored)
{
    WindowRect rect{desktop.width / 4, desktop.height / 4, desktop.width * 3 / 4,
                    desktop.height * 3 / 4};
    rect.left = stored.left.value_or(rect.left);
    rect.top = stored.top.value_or(rect.top);
    rect.right = stored.right.value_or(rect.right);
    rect.bottom = stored.bottom.value_or(rect.bottom);
    KeepOnDesktop(rect.left, rect.right, desktop.width);
    KeepOnDesktop(rect.top, rect.bottom, desktop.height);
    return rect;
}

StoredWindowRect LoadWindowRect()
{
    const QSettings settings = OpenSettings();
    return {ReadValue(settings, "left"), ReadValue(settings, "top"), ReadValue(settings, "right"),
            ReadValue(settings, "bottom")};
}

void StoreWindowRect(const WindowRect& rect)
{
    QSettings settings = OpenSettings();
    settings.setValue("left", rect.left);
    settings.setValue("top", rect.top);
    settings.setValue("right", rect.right);
    settings.setValue("bottom", rect.bottom);
}

}  // namespace zel
