// TipWindow: the syntax tip under the input line, a borderless pop-up that never takes the
// keyboard focus. It shows a tip of lineedit/SyntaxTip.h: the syntax lines on a band of a
// darker shade with the argument at the caret in bold, a gap, the description below.
#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include "lineedit/SyntaxTip.h"

namespace zel {

// Where a tip of `size` goes, in screen pixels: at `below` (under the command in the input
// line); when it would then reach below the work area, with its bottom on the main window's
// client area's bottom, left of the main window when there is room, else at its right edge,
// else against the work area's right edge.
QPoint PlaceTip(QSize size, QPoint below, const QRect& workArea, const QRect& window,
                const QRect& clientArea);

class TipWindow : public QWidget {
    Q_OBJECT

public:
    explicit TipWindow(QWidget* parent);

    // Takes the tip's texts and colour and resizes; the same tip again changes nothing.
    void SetTip(const SyntaxTip& tip);
    const SyntaxTip& Tip() const { return tip_; }
    // What a screen reader reads: the syntax lines, then the description.
    QString PlainText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont syntaxFont_, boldFont_, descriptionFont_;
    SyntaxTip tip_;
    QStringList syntaxLines_, descriptionLines_;
    int syntaxHeight_ = 0;
};

}  // namespace zel
