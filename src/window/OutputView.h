// OutputView: one window onto the client's output buffer, drawn on a grid of character
// cells. The main window holds two: the output window, which follows new text, and the
// scroll-back window, which the user scrolls while the output window stays at the end. Lines
// are drawn as stored, never wrapped; wide characters take two cells, combining marks none,
// control characters show as a middle dot.
//
// Threads. The buffer tells its listeners of appends on the appending thread (often the
// network thread) with OutputLock held; the view then only sets a flag and, once per frame,
// posts one refresh to the user-interface thread. Painting and every other member run on the
// user-interface thread and read the buffer under OutputLock, only the rows in view, so a
// frame costs the same whatever the flood.
//
// Keys the view does not use are ignored, so they reach the parent (the main window), which
// hands them to the input line.
#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"

class QTimer;

namespace zel {

class ClientWindow;
class FindBar;
class OutputViewPainter;
struct RowText;

// A position on the grid of a view: an absolute buffer line and a cell column.
struct OutputCell {
    uint64_t line = 0;
    uint32_t column = 0;
    auto operator<=>(const OutputCell&) const = default;
};

class OutputView : public QWidget, private OutputBuffer::Listener {
    Q_OBJECT

public:
    enum class Role {
        Output,      // follows the end unless the client's output is suspended
        ScrollBack,  // stays where the user put it
    };
    enum class FindResult { Found, Wrapped, NotFound };

    OutputView(ClientWindow& client, Role role, QWidget* parent = nullptr);
    ~OutputView() override;

    Role ViewRole() const { return role_; }
    ClientWindow& Client() { return client_; }

    // --- Style (the `font` command, the output_ options) ---
    // Face, height in pixels of a cell's font, average character width (0 or less: the
    // width of "0"), weight 0..1000. A face that is not installed falls back to a
    // fixed-pitch face. Repaints.
    void SetFont(const QString& face, int height, int width, int weight);
    // 0 takes the font's height / character width. Moves the top line to the end.
    void SetCellSize(int height, int width);
    // Default colours, red in the lowest byte (display/TextFormat.h Color).
    void SetColors(uint32_t backColor, uint32_t textColor);
    // All of the above from the client's view style.
    void ApplyStyle(const OutputViewStyle& style);
    QFont DefaultFont() const;
    // Pixels of one cell.
    QSize CellSize() const;

    // --- Geometry in cells ---
    // Cells that fit, a partly visible one counting as one.
    int CellColumns() const { return columns_; }
    int CellRows() const { return rows_; }
    // Rows wholly visible.
    int FullRows() const;
    uint64_t TopLine() const { return top_; }
    uint32_t FirstColumn() const { return firstColumn_; }
    // The grid cell under a point of the widget, as a click selects it (a click in the right
    // half of a cell gives the next column).
    OutputCell CellAt(QPoint point) const;
    // The rectangle of a cell in widget coordinates (it may lie outside the widget).
    QRect CellRect(OutputCell cell) const;

    // --- Selection ---
    bool HasSelection() const { return selectionStart_ != selectionEnd_; }
    // From `from` up to, not including, `to` (either order); repaints.
    void Select(OutputCell from, OutputCell to);
    void ClearSelection();
    // Lines joined by "\n"; control characters as the view shows them.
    QString SelectedText() const;

    // --- Text for screen readers and tests ---
    // The lines in view, top to bottom, each ended by "\n" but the last.
    QString VisibleText() const;
    // The text of one line as shown (control characters as a middle dot), empty when the
    // line is not held.
    QString LineText(uint64_t line) const;

    // Every append so far has been taken in (no refresh is pending).
    bool UpToDate() const;
    // Blinking text is in view: the blink timer runs.
    bool Blinking() const;

    // --- Find ---
    FindBar* GetFindBar() const { return findBar_; }
    // Looks for `text` from the current match (or the view's edge) onwards, wrapping around
    // the buffer once; the match is highlighted and scrolled into view.
    FindResult Find(const QString& text, bool backward, bool matchCase);
    // The current match: its line and cells [start, end).
    struct Match {
        uint64_t line = 0;
        uint32_t start = 0, end = 0;
    };
    std::optional<Match> CurrentMatch() const { return match_; }
    void ClearFind();

public slots:
    // Repaints every row.
    void Repaint();
    void ScrollTo(qint64 line, qint64 column);
    void ScrollBy(qint64 lines, qint64 columns);
    void ScrollLineUp();
    void ScrollLineDown();
    void ScrollPageUp();
    void ScrollPageDown();
    void ScrollToTop();
    // Also resumes following the end in the output window.
    void ScrollToBottom();
    void ScrollColumnsLeft();
    void ScrollColumnsRight();
    // The internal actions SCROLL_LINEUP .. SCROLL_RIGHT (input/InternalActions.h); false for
    // any other code.
    bool PerformScrollAction(int action);
    // Scroll to the end; the output window does this after appends on its own.
    void FollowEnd();
    // The selection to the clipboard (and the X selection); false when nothing is selected.
    bool CopySelection();
    // Opens the find bar with its text selected (Ctrl+F).
    void StartFind();
    void FindNext();
    void FindPrevious();

signals:
    // The size in cells changed (the main window passes it on to ClientWindow::SetViewSize).
    void CellSizeChanged(int columns, int rows);
    // The top line or the buffer's end moved (status bar "@ %d/%d").
    void TopLineChanged(qint64 topLine, qint64 endLine);
    // A mouse selection was copied; `forInput` after the right button: the main window
    // inserts the text into the input line (the notification with code 64).
    void SelectionCopied(const QString& text, bool forInput);
    // Text added to the output since the last frame, as shown: the rest of the line that
    // was open, then each new line after "\n" (at most the last 50 lines of a flood). Screen
    // readers get the same as a text-inserted event. Output role only; computed only while
    // a screen reader or a receiver listens.
    void NewText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private slots:
    void Refresh();
    void ToggleBlink();

private:
    friend class OutputViewAccessible;

    // OutputBuffer::Listener: on the appending thread, OutputLock held.
    void LineEnded(uint64_t, const OutputLine&) override {}
    void Appended() override;
    void Cleared() override;
    void Schedule();

    // On the user-interface thread, once per posted notification: refreshes now or at the
    // next frame.
    void OnScheduled();
    void UpdateGeometry();
    // The top line that shows the end in the last full row (never before the line base).
    // OutputLock held.
    uint64_t MaximumTop() const;
    // Moves the top line, moving the pixels when the rows overlap.
    void MoveTop(uint64_t top);
    // After a scroll the user asked for: the output window stops following unless at the end.
    void UserScrolled();
    // Redraws rows [first, last] of the buffer's lines that are in view.
    void UpdateLines(uint64_t first, uint64_t last);
    void UpdateSelection(OutputCell oldStart, OutputCell oldEnd);
    void ExtendDrag(QPoint point);
    void FinishMouseSelection(bool rightButton);
    void SelectWordAt(OutputCell cell);
    void MoveCaret(OutputCell caret, bool extend);
    void EnsureVisible(OutputCell cell);
    // Tells screen readers (and NewText) of the text added since the last call. OutputLock
    // held.
    void AnnounceNewText();
    void DrawOverlays(QPainter& painter, uint64_t line, int y);

    ClientWindow& client_;
    const Role role_;
    std::unique_ptr<OutputViewPainter> painter_;
    std::vector<RowText> snapshot_;  // the rows of a paint, reused

    int rows_ = 0, columns_ = 0;
    uint64_t top_ = 0;
    uint32_t firstColumn_ = 0;
    // The buffer's end and base at the last refresh: lines from lastEnd_ - 1 on may have
    // changed since.
    uint64_t lastEnd_ = 0;

    OutputCell selectionStart_, selectionEnd_;  // ordered
    OutputCell anchor_;                         // where a drag or keyboard selection began
    OutputCell caret_;                          // the keyboard's position
    bool dragging_ = false;
    bool rightDrag_ = false;

    std::optional<Match> match_;
    FindBar* findBar_ = nullptr;

    QTimer* frameTimer_ = nullptr;
    QElapsedTimer frameClock_;
    QTimer* blinkTimer_ = nullptr;
    bool blinkPhase_ = false;
    QRegion blinkRegion_;  // rows in view that hold blinking text

    // The end of the text screen readers have been told of: a line and its bytes.
    uint64_t announcedLine_ = 0;
    size_t announcedBytes_ = 0;

    // Set on the appending thread, taken by Refresh.
    std::atomic<bool> scheduled_{false};
    std::atomic<bool> cleared_{false};
};

}  // namespace zel
