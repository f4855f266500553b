// ClientWindow::PerformInternalAction: the part of an internal action that needs no user
// interface, then the host's part. Scrolling, history browsing, completion at the caret,
// the clipboard, setup pages and fullscreen belong to the host.
#include <algorithm>
#include <atomic>
#include <string>

#include "engine/ClientWindow.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using A = InternalAction;

// Steps and bounds of the window-size actions: percent of the scroll-back window, lines of
// the history window. The bounds keep the output window and the history list visible.
constexpr int32_t kScrollStep = 5;
constexpr int32_t kScrollMinimum = 5;
constexpr int32_t kScrollMaximum = 95;
constexpr int32_t kHistoryMinimum = 1;
constexpr int32_t kHistoryMaximum = 50;

// Moves `field` one step towards the bound in the step's direction, never past it (a
// value already beyond it stays). True when it changed.
bool StepOption(int32_t& field, int32_t step, int32_t minimum, int32_t maximum)
{
    const int32_t value = field;
    const int32_t stepped =
        step > 0 ? std::min(value + step, maximum) : std::max(value + step, minimum);
    if (step > 0 ? stepped <= value : stepped >= value) return false;
    // Options are read by the network thread through atomic_ref.
    std::atomic_ref<int32_t>(field).store(stepped, std::memory_order_relaxed);
    return true;
}

}  // namespace

bool ClientWindow::PerformInternalAction(int action)
{
    if (action <= 0 || ActionName(action).empty()) return false;
    bool resized = false;
    switch (A(action)) {
        case A::Quit:
            host_.RequestClose();
            break;
        case A::ExecEmpty:
            ExecuteLine("", true, true);
            break;
        case A::ScrollSizeInc:
        case A::ScrollSizeDec: {
            // The size across the divider: the height above the output, else the width.
            const auto position = ScrollPosition(options_.scrollPos);
            const int32_t step = A(action) == A::ScrollSizeInc ? kScrollStep : -kScrollStep;
            if (position == ScrollPosition::Top)
                resized = StepOption(options_.scrollHeight, step, kScrollMinimum, kScrollMaximum);
            else if (position == ScrollPosition::Left || position == ScrollPosition::Right)
                resized = StepOption(options_.scrollWidth, step, kScrollMinimum, kScrollMaximum);
            break;
        }
        case A::HistSizeInc:
        case A::HistSizeDec: {
            const int32_t step = A(action) == A::HistSizeInc ? 1 : -1;
            const bool window =
                StepOption(options_.historyWindow, step, kHistoryMinimum, kHistoryMaximum);
            const bool active =
                StepOption(options_.historyActive, step, kHistoryMinimum, kHistoryMaximum);
            resized = window || active;
            break;
        }
        default:
            if (action >= int(A::Exec1) && action <= int(A::Exec10)) {
                const auto& lines = history_.Lines();
                const size_t back = size_t(action - int(A::Exec1)) + 1;
                // A copy: the line runs while the history may change.
                if (lines.size() >= back)
                    ExecuteLine(std::string(lines[lines.size() - back]), false, true);
            }
            break;
    }
    if (resized) {
        MarkSettingsChanged();
        host_.LayoutChildren();
    }
    host_.PerformUiAction(action);
    return true;
}

}  // namespace zel
