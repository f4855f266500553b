#include "window/WindowLayout.h"

#include <algorithm>

namespace zel {
namespace {

constexpr int kTop = 1;
constexpr int kLeft = 2;
constexpr int kRight = 3;

QRect Box(int x, int y, int width, int height)
{
    return QRect(x, y, std::max(width, 0), std::max(height, 0));
}

}  // namespace

int ShownScrollPosition(const LayoutInput& in)
{
    const bool known = in.scrollPos == kTop || in.scrollPos == kLeft || in.scrollPos == kRight;
    return in.scrollBackOn && known ? in.scrollPos : 0;
}

ChildRects ComputeLayout(const LayoutInput& in)
{
    const int w = in.width;
    const int h = in.height;
    const int pos = ShownScrollPosition(in);
    const int ww = in.scrollWidth;
    const int side = ww * w / 100;  // the scroll-back window's share beside the output
    const int x0 = pos == kLeft ? side : 0;
    const int wo = pos == kLeft || pos == kRight ? (100 - ww) * w / 100 : w;
    const int prompt = in.promptShown ? in.lineHeight : 0;

    ChildRects r;
    const int inputTop = h - in.statusHeight - in.toolbarHeight - in.lineHeight;
    r.input = Box(x0, inputTop, wo, in.lineHeight);
    const int historyTop = inputTop - in.historyHeight;
    r.history = Box(x0 - 2, historyTop, wo + 4, in.historyHeight);
    const int bottom = historyTop - prompt - 1;
    r.prompt = Box(x0, bottom, wo + 1, prompt);

    const int columnHeight = h - in.toolbarHeight - in.statusHeight;
    r.output = Box(x0, 0, wo, bottom);
    switch (pos) {
        case kTop: {
            const int sh = in.scrollHeight * bottom / 100 - 1;
            r.scrollBack = Box(0, 0, w, sh);
            r.output = Box(x0, sh + 1, wo, bottom - sh - 1);
            break;
        }
        case kLeft:
            r.scrollBack = Box(0, 0, side - 1, columnHeight);
            break;
        case kRight:
            r.scrollBack = Box((100 - ww) * w / 100 + 1, 0, side - 1, columnHeight);
            break;
        default:
            r.scrollBack = QRect();
            break;
    }

    r.statusBar = Box(0, h - in.statusHeight, w, in.statusHeight);
    r.toolbar = Box(0, h - in.statusHeight - in.toolbarHeight, w, in.toolbarHeight);
    r.buttonWidth = std::max((w + 4) / 9, 0);
    return r;
}

}  // namespace zel
