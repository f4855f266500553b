// OutputViewAccessible: what screen readers see of an output view: a read-only, multi-line
// text whose content is the lines in view, with the keyboard caret and the selection. The
// view announces new text with text-inserted events (OutputView::AnnounceNewText).
#pragma once

#include <QAccessibleWidget>

#include "window/OutputView.h"

namespace zel {

// Makes Qt create an OutputViewAccessible for every OutputView; once per process.
void InstallOutputViewAccessibility();

class OutputViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit OutputViewAccessible(OutputView* view);

    // The offset of a cell within the accessible text; the end when it is out of view.
    static int OffsetOf(const OutputView& view, OutputCell cell);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    OutputView* View() const { return static_cast<OutputView*>(widget()); }
    // The cell of an offset of the accessible text.
    OutputCell CellOf(int offset) const;
};

}  // namespace zel
