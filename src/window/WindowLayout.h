// WindowLayout: where the main window's children go, in pixels, for a client area of a given
// size and the options in force. A pure computation, so every case can be checked without a
// widget; MainWindow measures the fonts, calls it and applies the rectangles.
#pragma once

#include <QRect>

namespace zel {

// What the layout depends on. Heights are in pixels, sizes of the scroll-back window in
// percent.
struct LayoutInput {
    int width = 0;
    int height = 0;
    int statusHeight = 18;
    int toolbarHeight = 0;  // 0 in fullscreen mode
    int lineHeight = 0;     // the input and prompt line
    int historyHeight = 0;  // the history list's lines times its item height
    bool promptShown = false;
    int scrollPos = 1;  // 1 top, 2 left, 3 right, anything else none
    int scrollHeight = 50;
    int scrollWidth = 50;
    bool scrollBackOn = false;
};

// The one-pixel seams between the scroll-back and output windows and between the prompt line
// and the history list belong to no child: the client area's face colour shows there.
struct ChildRects {
    QRect output;
    QRect scrollBack;  // empty when hidden
    QRect prompt;
    QRect history;
    QRect input;
    QRect toolbar;
    QRect statusBar;
    int buttonWidth = 0;
};

// The scroll-back window's position when it is shown, else 0.
int ShownScrollPosition(const LayoutInput& in);

// All divisions are integer divisions; a size that would come out negative (a window too
// small for its children) is 0.
ChildRects ComputeLayout(const LayoutInput& in);

}  // namespace zel
