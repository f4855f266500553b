// OutputView: see OutputView.h. Scrolling, selection, find and the link to the buffer live
// here; the drawing of a row is OutputViewPainter's, the screen readers' view of the text
// OutputViewAccessible's.
#include "window/OutputView.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <mutex>

#include "base/Utf8.h"
#include "engine/ClientWindow.h"
#include "input/InternalActions.h"
#include "window/FindBar.h"
#include "window/OutputViewAccessible.h"
#include "window/OutputViewPainter.h"
#include "window/OutputViewText.h"

namespace zel {
namespace {

constexpr int kFrameMilliseconds = 16;
constexpr int kBlinkMilliseconds = 500;
constexpr int kColumnStep = 8;
constexpr int kWheelLines = 3;
// No column lies beyond this: a line holds at most OutputBuffer::kMaximumLineLength bytes,
// and a character at most two cells.
constexpr int64_t kMaximumColumn = int64_t(OutputBuffer::kMaximumLineLength) * 2;
// At most this many lines are announced to screen readers per frame: a flood is summed up
// by its end.
constexpr uint64_t kAnnouncedLines = 50;

using A = InternalAction;

}  // namespace

OutputView::OutputView(ClientWindow& client, Role role, QWidget* parent)
    : QWidget(parent), client_(client), role_(role), painter_(new OutputViewPainter)
{
    InstallOutputViewAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks select without taking the focus from the input line; Tab reaches the view.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::IBeamCursor);
    setAccessibleName(role == Role::Output ? tr("Output") : tr("Scroll-back"));
    setAccessibleDescription(role == Role::Output ? tr("Text from the game, newest at the end")
                                                  : tr("Earlier text from the game"));

    frameTimer_ = new QTimer(this);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, &OutputView::Refresh);
    frameClock_.start();
    blinkTimer_ = new QTimer(this);
    blinkTimer_->setInterval(kBlinkMilliseconds);
    connect(blinkTimer_, &QTimer::timeout, this, &OutputView::ToggleBlink);
    findBar_ = new FindBar(*this);
    findBar_->hide();

    ApplyStyle(client_.Formats().view);
    std::scoped_lock lock(client_.OutputLock());
    const OutputBuffer& buffer = client_.Output();
    lastEnd_ = buffer.End();
    top_ = buffer.LineBase();
    announcedLine_ = lastEnd_ > 0 ? lastEnd_ - 1 : 0;
    const OutputLine* last = buffer.Line(announcedLine_);
    announcedBytes_ = last ? last->Length() : 0;
    client_.Output().AddListener(this);
}

OutputView::~OutputView()
{
    // After this no append reaches the view; a refresh already posted dies with the object.
    std::scoped_lock lock(client_.OutputLock());
    client_.Output().RemoveListener(this);
}

// --- Keeping up with the buffer ---

void OutputView::Appended()
{
    Schedule();
}

void OutputView::Cleared()
{
    cleared_.store(true, std::memory_order_relaxed);
    Schedule();
}

void OutputView::Schedule()
{
    // One notification in flight at most: the refresh reads whatever has arrived by then.
    if (!scheduled_.exchange(true, std::memory_order_acq_rel))
        QMetaObject::invokeMethod(this, &OutputView::OnScheduled, Qt::QueuedConnection);
}

void OutputView::OnScheduled()
{
    if (frameTimer_->isActive()) return;
    const qint64 elapsed = frameClock_.elapsed();
    if (elapsed >= kFrameMilliseconds)
        Refresh();
    else
        frameTimer_->start(int(kFrameMilliseconds - elapsed));
}

void OutputView::Refresh()
{
    frameClock_.restart();
    scheduled_.store(false, std::memory_order_release);
    std::scoped_lock lock(client_.OutputLock());
    const OutputBuffer& buffer = client_.Output();
    const uint64_t end = buffer.End();
    const uint64_t base = buffer.LineBase();
    if (cleared_.exchange(false, std::memory_order_relaxed)) {
        selectionStart_ = selectionEnd_ = anchor_ = caret_ = OutputCell{base, 0};
        match_.reset();
        update();
    }
    const uint64_t oldTop = top_;
    const uint64_t oldEnd = lastEnd_;
    const bool following = role_ == Role::Output && !client_.OutputSuspended();
    MoveTop(following ? MaximumTop() : std::clamp(top_, base, std::max(base, MaximumTop())));
    // The line that was last may have grown; every line after it is new.
    if (end > 0) UpdateLines(oldEnd > 0 ? std::min(oldEnd - 1, end - 1) : base, end - 1);
    lastEnd_ = end;
    if (role_ == Role::Output) AnnounceNewText();
    if (top_ != oldTop || end != oldEnd) emit TopLineChanged(qint64(top_), qint64(end));
}

void OutputView::AnnounceNewText()
{
    const OutputBuffer& buffer = client_.Output();
    const uint64_t end = buffer.End();
    if (end == 0) return;
    const bool screenReader = QAccessible::isActive();
    QString added;
    if (screenReader || isSignalConnected(QMetaMethod::fromSignal(&OutputView::NewText))) {
        const uint64_t fromLine = std::max(
            {announcedLine_, buffer.LineBase(), end > kAnnouncedLines ? end - kAnnouncedLines : 0});
        for (uint64_t line = fromLine; line < end; ++line) {
            const OutputLine* held = buffer.Line(line);
            if (!held) continue;
            std::string_view text = held->Text();
            if (line == announcedLine_)
                text.remove_prefix(std::min(announcedBytes_, text.size()));
            else
                added += QLatin1Char('\n');
            added += DisplayText(text);
        }
    }
    announcedLine_ = end - 1;
    const OutputLine* last = buffer.Line(announcedLine_);
    announcedBytes_ = last ? last->Length() : 0;
    if (added.isEmpty()) return;
    emit NewText(added);
    if (!screenReader) return;
    const qsizetype position = std::max<qsizetype>(0, VisibleText().size() - added.size());
    QAccessibleTextInsertEvent event(this, int(position), added);
    QAccessible::updateAccessibility(&event);
}

// --- Style and geometry ---

void OutputView::SetFont(const QString& face, int height, int width, int weight)
{
    painter_->SetFont(face, height, width, weight);
    UpdateGeometry();
    Repaint();
}

void OutputView::SetCellSize(int height, int width)
{
    painter_->SetCellSize(height, width);
    UpdateGeometry();
    {
        std::scoped_lock lock(client_.OutputLock());
        MoveTop(MaximumTop());
    }
    Repaint();
}

void OutputView::SetColors(uint32_t backColor, uint32_t textColor)
{
    painter_->SetColors(backColor, textColor);
    Repaint();
}

void OutputView::ApplyStyle(const OutputViewStyle& style)
{
    painter_->SetFont(QString::fromStdString(style.face), style.height, style.width, style.weight);
    painter_->SetColors(style.backColor, style.textColor);
    SetCellSize(style.cellHeight, style.cellWidth);
}

QFont OutputView::DefaultFont() const
{
    return painter_->DefaultFont();
}

QSize OutputView::CellSize() const
{
    return QSize(painter_->CellWidth(), painter_->CellHeight());
}

int OutputView::FullRows() const
{
    return height() / painter_->CellHeight();
}

void OutputView::UpdateGeometry()
{
    const int rowHeight = painter_->CellHeight(), columnWidth = painter_->CellWidth();
    const int rows = (height() + rowHeight - 1) / rowHeight;
    const int columns = (width() + columnWidth - 1) / columnWidth;
    if (findBar_) findBar_->Place();
    if (rows == rows_ && columns == columns_) return;
    rows_ = rows;
    columns_ = columns;
    emit CellSizeChanged(columns_, rows_);
}

void OutputView::resizeEvent(QResizeEvent*)
{
    UpdateGeometry();
    // The newest text at the bottom after any change of size.
    std::scoped_lock lock(client_.OutputLock());
    top_ = MaximumTop();
    update();
    emit TopLineChanged(qint64(top_), qint64(client_.Output().End()));
}

uint64_t OutputView::MaximumTop() const
{
    const OutputBuffer& buffer = client_.Output();
    const uint64_t full = uint64_t(std::max(1, FullRows()));
    const uint64_t end = buffer.End();
    return std::max(buffer.LineBase(), end > full ? end - full : 0);
}

// --- Scrolling ---

void OutputView::MoveTop(uint64_t top)
{
    if (top == top_) return;
    const int64_t delta = int64_t(top) - int64_t(top_);
    top_ = top;
    if (delta > -rows_ && delta < rows_ && isVisible()) {
        const int dy = int(-delta * painter_->CellHeight());
        scroll(0, dy, rect());  // only the rows that come into view repaint
        blinkRegion_.translate(0, dy);
        blinkRegion_ &= rect();
    } else {
        update();
    }
    if (dragging_) ExtendDrag(mapFromGlobal(QCursor::pos()));
}

void OutputView::ScrollTo(qint64 line, qint64 column)
{
    std::scoped_lock lock(client_.OutputLock());
    const OutputBuffer& buffer = client_.Output();
    const uint64_t base = buffer.LineBase();
    const uint64_t top = line < 0 ? base : std::clamp(uint64_t(line), base, MaximumTop());
    const uint32_t first = uint32_t(std::clamp<qint64>(column, 0, kMaximumColumn));
    if (top == top_ && first == firstColumn_) {
        if (uint64_t(rows_) > buffer.LineCount()) update();
        return;
    }
    if (first != firstColumn_) {
        firstColumn_ = first;
        top_ = top;
        update();
    } else {
        MoveTop(top);
    }
    emit TopLineChanged(qint64(top_), qint64(buffer.End()));
}

void OutputView::ScrollBy(qint64 lines, qint64 columns)
{
    ScrollTo(qint64(top_) + lines, qint64(firstColumn_) + columns);
}

void OutputView::UserScrolled()
{
    if (role_ != Role::Output) return;
    std::scoped_lock lock(client_.OutputLock());
    client_.SetOutputSuspended(top_ < MaximumTop());
}

void OutputView::ScrollLineUp()
{
    ScrollBy(-1, 0);
    UserScrolled();
}

void OutputView::ScrollLineDown()
{
    ScrollBy(1, 0);
    UserScrolled();
}

void OutputView::ScrollPageUp()
{
    ScrollBy(-std::max(1, FullRows()), 0);
    UserScrolled();
}

void OutputView::ScrollPageDown()
{
    ScrollBy(std::max(1, FullRows()), 0);
    UserScrolled();
}

void OutputView::ScrollToTop()
{
    ScrollTo(-1, firstColumn_);
    UserScrolled();
}

void OutputView::ScrollToBottom()
{
    if (role_ == Role::Output) client_.SetOutputSuspended(false);
    FollowEnd();
}

void OutputView::ScrollColumnsLeft()
{
    ScrollBy(0, -kColumnStep);
}

void OutputView::ScrollColumnsRight()
{
    ScrollBy(0, kColumnStep);
}

void OutputView::FollowEnd()
{
    std::unique_lock lock(client_.OutputLock());
    const qint64 end = qint64(client_.Output().End());
    lock.unlock();
    ScrollTo(end, 0);
}

bool OutputView::PerformScrollAction(int action)
{
    switch (A(action)) {
        case A::ScrollLineUp:
            ScrollLineUp();
            return true;
        case A::ScrollLineDown:
            ScrollLineDown();
            return true;
        case A::ScrollPageUp:
            ScrollPageUp();
            return true;
        case A::ScrollPageDown:
            ScrollPageDown();
            return true;
        case A::ScrollToTop:
            ScrollToTop();
            return true;
        case A::ScrollToBottom:
            ScrollToBottom();
            return true;
        case A::ScrollColumnsLeft:
            ScrollColumnsLeft();
            return true;
        case A::ScrollColumnsRight:
            ScrollColumnsRight();
            return true;
        default:
            return false;
    }
}

void OutputView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 40;  // 120 a notch: three lines
    const int lines = steps != 0 ? -steps : 0;
    if (lines != 0) {
        ScrollBy(lines * kWheelLines / 3, 0);
        UserScrolled();
    }
    const int columns = event->angleDelta().x() / 120;
    if (columns != 0) ScrollBy(0, -columns * kColumnStep);
    event->accept();
}

// --- Painting ---

void OutputView::Repaint()
{
    update();
}

void OutputView::UpdateLines(uint64_t first, uint64_t last)
{
    if (last < first) return;
    const int rowHeight = painter_->CellHeight();
    const uint64_t bottom = top_ + uint64_t(rows_);
    if (last < top_ || first >= bottom) return;
    const int from = int(std::max(first, top_) - top_);
    const int to = int(std::min(last + 1, bottom) - top_);
    update(0, from * rowHeight, width(), (to - from) * rowHeight);
}

void OutputView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const int rowHeight = painter_->CellHeight();
    const int firstRow = std::max(0, area.top() / rowHeight);
    const int lastRow = std::min(rows_ - 1, area.bottom() / rowHeight);
    if (area.contains(rect())) blinkRegion_ = QRegion();

    // The rows are copied under the lock and drawn without it: the network thread waits
    // for the copy, never for the drawing.
    const int count = std::max(0, lastRow - firstRow + 1);
    if (snapshot_.size() < size_t(count)) snapshot_.resize(size_t(count));
    {
        std::scoped_lock lock(client_.OutputLock());
        const OutputBuffer& buffer = client_.Output();
        const uint64_t base = buffer.LineBase(), end = buffer.End();
        for (int row = firstRow; row <= lastRow; ++row) {
            const uint64_t line = top_ + uint64_t(row);
            snapshot_[size_t(row - firstRow)].Take(
                buffer, line >= base && line < end ? buffer.Line(line) : nullptr);
        }
    }
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = row * rowHeight;
        const bool blinks = painter_->DrawRow(painter, snapshot_[size_t(row - firstRow)], y,
                                              firstColumn_, width(), blinkPhase_);
        const QRect rowRect(0, y, width(), rowHeight);
        if (blinks)
            blinkRegion_ += rowRect;
        else
            blinkRegion_ -= rowRect;
        DrawOverlays(painter, top_ + uint64_t(row), y);
    }
    // A huge view once must not keep its rows' copies.
    if (snapshot_.size() > size_t(std::max(rows_, 1)) * 2) snapshot_.resize(size_t(rows_));
    // The blink timer runs only while blinking text is in view.
    if (blinkRegion_.isEmpty()) {
        blinkTimer_->stop();
        blinkPhase_ = false;
    } else if (!blinkTimer_->isActive()) {
        blinkTimer_->start();
    }
}

void OutputView::DrawOverlays(QPainter& painter, uint64_t line, int y)
{
    const int rowHeight = painter_->CellHeight(), cellWidth = painter_->CellWidth();
    const auto xOf = [&](uint64_t column) {
        return int(std::clamp<int64_t>(int64_t(column) - int64_t(firstColumn_), -1, columns_ + 1)) *
               cellWidth;
    };
    if (match_ && match_->line == line) {
        const QRect box(xOf(match_->start), y, xOf(match_->end) - xOf(match_->start), rowHeight);
        painter.fillRect(box, QColor(255, 200, 0, 110));
        painter.setPen(QColor(255, 200, 0));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    if (HasSelection() && line >= selectionStart_.line && line <= selectionEnd_.line) {
        // The selection is shown inverted; whole rows between its first and last line.
        const int left = line == selectionStart_.line ? xOf(selectionStart_.column) : 0;
        const int right = line == selectionEnd_.line ? xOf(selectionEnd_.column) : width();
        if (right > left) {
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            painter.fillRect(QRect(left, y, right - left, rowHeight), Qt::white);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    if (hasFocus() && caret_.line == line) {
        painter.setPen(QColor(Qt::white));
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.drawRect(xOf(caret_.column), y, cellWidth - 1, rowHeight - 1);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

bool OutputView::UpToDate() const
{
    return !scheduled_.load(std::memory_order_acquire) && !frameTimer_->isActive();
}

bool OutputView::Blinking() const
{
    return blinkTimer_->isActive();
}

void OutputView::ToggleBlink()
{
    if (blinkRegion_.isEmpty()) {
        blinkTimer_->stop();
        blinkPhase_ = false;
        return;
    }
    blinkPhase_ = !blinkPhase_;
    update(blinkRegion_);
}

// --- Cells, selection and copying ---

OutputCell OutputView::CellAt(QPoint point) const
{
    const int rowHeight = painter_->CellHeight(), cellWidth = painter_->CellWidth();
    const int64_t row = point.y() >= 0 ? point.y() / rowHeight : -1 - (-point.y() - 1) / rowHeight;
    const int64_t line = std::max<int64_t>(0, int64_t(top_) + row);
    const int64_t column = std::max<int64_t>(
        0, int64_t(firstColumn_) + (std::max(0, point.x()) + cellWidth / 2) / cellWidth);
    return {uint64_t(line), uint32_t(std::min(column, kMaximumColumn))};
}

QRect OutputView::CellRect(OutputCell cell) const
{
    const int rowHeight = painter_->CellHeight(), cellWidth = painter_->CellWidth();
    return QRect(int((int64_t(cell.column) - int64_t(firstColumn_)) * cellWidth),
                 int((int64_t(cell.line) - int64_t(top_)) * rowHeight), cellWidth, rowHeight);
}

void OutputView::Select(OutputCell from, OutputCell to)
{
    const OutputCell oldStart = selectionStart_, oldEnd = selectionEnd_;
    selectionStart_ = std::min(from, to);
    selectionEnd_ = std::max(from, to);
    UpdateSelection(oldStart, oldEnd);
}

void OutputView::ClearSelection()
{
    Select(caret_, caret_);
}

void OutputView::UpdateSelection(OutputCell oldStart, OutputCell oldEnd)
{
    if (oldStart == selectionStart_ && oldEnd == selectionEnd_) return;
    UpdateLines(std::min(oldStart.line, selectionStart_.line),
                std::max(oldEnd.line, selectionEnd_.line));
    if (QAccessible::isActive()) {
        QAccessibleTextSelectionEvent event(this, 0, 0);
        QAccessible::updateAccessibility(&event);
    }
}

QString OutputView::LineText(uint64_t line) const
{
    std::scoped_lock lock(client_.OutputLock());
    const OutputLine* held = client_.Output().Line(line);
    return held ? DisplayText(held->Text()) : QString();
}

QString OutputView::SelectedText() const
{
    if (!HasSelection()) return {};
    std::scoped_lock lock(client_.OutputLock());
    const OutputBuffer& buffer = client_.Output();
    QString text;
    for (uint64_t line = selectionStart_.line; line <= selectionEnd_.line; ++line) {
        if (line != selectionStart_.line) text += QLatin1Char('\n');
        const OutputLine* held = buffer.Line(line);
        if (!held) continue;
        const uint32_t from = line == selectionStart_.line ? selectionStart_.column : 0;
        const uint32_t to = line == selectionEnd_.line ? selectionEnd_.column : UINT32_MAX;
        text += DisplayText(CellSlice(held->Text(), from, to));
    }
    return text;
}

QString OutputView::VisibleText() const
{
    std::scoped_lock lock(client_.OutputLock());
    const OutputBuffer& buffer = client_.Output();
    const uint64_t last = std::min(buffer.End(), top_ + uint64_t(std::max(rows_, 1)));
    QString text;
    for (uint64_t line = std::max(top_, buffer.LineBase()); line < last; ++line) {
        if (!text.isEmpty() || line != std::max(top_, buffer.LineBase())) text += QLatin1Char('\n');
        if (const OutputLine* held = buffer.Line(line)) text += DisplayText(held->Text());
    }
    return text;
}

bool OutputView::CopySelection()
{
    if (!HasSelection()) return false;
    const QString text = SelectedText();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    if (clipboard->supportsSelection()) clipboard->setText(text, QClipboard::Selection);
    return true;
}

void OutputView::FinishMouseSelection(bool rightButton)
{
    if (!CopySelection()) return;
    emit SelectionCopied(SelectedText(), rightButton);
}

void OutputView::ExtendDrag(QPoint point)
{
    caret_ = CellAt(point);
    Select(anchor_, caret_);
}

void OutputView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    dragging_ = true;
    rightDrag_ = event->button() == Qt::RightButton;
    anchor_ = caret_ = CellAt(event->position().toPoint());
    Select(anchor_, anchor_);
}

void OutputView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) return;
    const QPoint point = event->position().toPoint();
    // Dragging past an edge scrolls a line at a time.
    if (point.y() < 0)
        ScrollBy(-1, 0);
    else if (point.y() >= height())
        ScrollBy(1, 0);
    ExtendDrag(point);
}

void OutputView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || (event->button() == Qt::RightButton) != rightDrag_) return;
    dragging_ = false;
    ExtendDrag(event->position().toPoint());
    FinishMouseSelection(rightDrag_);
}

void OutputView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    dragging_ = false;
    // The cell under the pointer itself, not the nearest boundary.
    const QPoint point = event->position().toPoint();
    OutputCell cell = CellAt(point);
    cell.column = firstColumn_ + uint32_t(std::max(0, point.x()) / painter_->CellWidth());
    SelectWordAt(cell);
    FinishMouseSelection(event->button() == Qt::RightButton);
}

void OutputView::SelectWordAt(OutputCell cell)
{
    std::optional<CellRange> word;
    {
        std::scoped_lock lock(client_.OutputLock());
        if (const OutputLine* held = client_.Output().Line(cell.line))
            word = WordAtCell(held->Text(), cell.column);
    }
    if (!word) return;
    anchor_ = {cell.line, word->start};
    caret_ = {cell.line, word->end};
    Select(anchor_, caret_);
}

// --- Keyboard ---

void OutputView::EnsureVisible(OutputCell cell)
{
    const int full = std::max(1, FullRows());
    qint64 top = qint64(top_);
    if (cell.line < top_)
        top = qint64(cell.line);
    else if (cell.line >= top_ + uint64_t(full))
        top = qint64(cell.line) - full + 1;
    qint64 first = qint64(firstColumn_);
    const int visibleColumns = std::max(1, width() / painter_->CellWidth());
    if (cell.column < firstColumn_ || cell.column >= firstColumn_ + uint32_t(visibleColumns))
        first = std::max<qint64>(0, qint64(cell.column) - visibleColumns / 2);
    ScrollTo(top, first);
    UserScrolled();
}

void OutputView::MoveCaret(OutputCell caret, bool extend)
{
    const OutputCell oldCaret = caret_;
    {
        std::scoped_lock lock(client_.OutputLock());
        const OutputBuffer& buffer = client_.Output();
        if (buffer.End() == buffer.LineBase()) return;
        caret.line = std::clamp(caret.line, buffer.LineBase(), buffer.End() - 1);
        const OutputLine* held = buffer.Line(caret.line);
        caret.column = std::min(caret.column, held ? CellCount(held->Text()) : 0);
    }
    if (!extend) anchor_ = caret;
    caret_ = caret;
    Select(anchor_, caret_);
    UpdateLines(std::min(oldCaret.line, caret.line), std::max(oldCaret.line, caret.line));
    EnsureVisible(caret_);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, OutputViewAccessible::OffsetOf(*this, caret_));
        QAccessible::updateAccessibility(&event);
    }
}

void OutputView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Find)) return StartFind();
    if (event->matches(QKeySequence::FindNext)) return FindNext();
    if (event->matches(QKeySequence::FindPrevious)) return FindPrevious();
    const bool copyKey =
        event->matches(QKeySequence::Copy) ||
        (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier);
    if (copyKey && CopySelection()) return;

    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier) return event->ignore();
    const bool extend = modifiers == Qt::ShiftModifier;
    OutputCell caret = caret_;
    uint32_t lineCells = 0;
    std::string_view text;
    std::unique_lock lock(client_.OutputLock());
    if (const OutputLine* held = client_.Output().Line(caret.line)) text = held->Text();
    lineCells = CellCount(text);
    switch (event->key()) {
        case Qt::Key_Left:
            if (caret.column > 0)
                caret.column = CellAtByte(text, ByteAtCell(text, caret.column - 1));
            break;
        case Qt::Key_Right:
            if (caret.column < lineCells)
                caret.column =
                    CellAtByte(text, NextCharacter(text, ByteAtCell(text, caret.column)));
            break;
        case Qt::Key_Up:
            caret.line = caret.line > 0 ? caret.line - 1 : 0;
            break;
        case Qt::Key_Down:
            caret.line++;
            break;
        case Qt::Key_PageUp:
            caret.line -= std::min<uint64_t>(caret.line, uint64_t(std::max(1, FullRows())));
            break;
        case Qt::Key_PageDown:
            caret.line += uint64_t(std::max(1, FullRows()));
            break;
        case Qt::Key_Home:
            caret.column = 0;
            break;
        case Qt::Key_End:
            caret.column = lineCells;
            break;
        case Qt::Key_Escape:
            lock.unlock();
            if (HasSelection() && !extend) return ClearSelection();
            return event->ignore();
        default:
            // Typing goes on to the main window, and so to the input line.
            return event->ignore();
    }
    lock.unlock();
    MoveCaret(caret, extend);
}

void OutputView::focusInEvent(QFocusEvent* event)
{
    {
        // The caret starts on the newest line in view, unless a selection holds it.
        std::scoped_lock lock(client_.OutputLock());
        const OutputBuffer& buffer = client_.Output();
        const uint64_t bottom = std::min(buffer.End(), top_ + uint64_t(std::max(1, FullRows())));
        if (!HasSelection() && bottom > top_) caret_ = anchor_ = {bottom - 1, 0};
    }
    UpdateLines(caret_.line, caret_.line);
    QWidget::focusInEvent(event);
}

void OutputView::focusOutEvent(QFocusEvent* event)
{
    UpdateLines(caret_.line, caret_.line);
    QWidget::focusOutEvent(event);
}

bool OutputView::event(QEvent* event)
{
    // Tab and Backtab move the focus as usual; Ctrl+F is the view's, not a shortcut's.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Find) || key->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

// --- Find ---

void OutputView::StartFind()
{
    findBar_->Open();
}

void OutputView::FindNext()
{
    findBar_->Search(false);
}

void OutputView::FindPrevious()
{
    findBar_->Search(true);
}

void OutputView::ClearFind()
{
    if (!match_) return;
    const uint64_t line = match_->line;
    match_.reset();
    UpdateLines(line, line);
}

OutputView::FindResult OutputView::Find(const QString& text, bool backward, bool matchCase)
{
    const QByteArray needle = text.toUtf8();
    const std::string_view wanted(needle.constData(), size_t(needle.size()));
    if (wanted.empty()) {
        ClearFind();
        return FindResult::NotFound;
    }
    std::optional<Match> found;
    bool wrapped = false;
    {
        std::scoped_lock lock(client_.OutputLock());
        const OutputBuffer& buffer = client_.Output();
        const uint64_t base = buffer.LineBase(), end = buffer.End();
        if (end == base) return FindResult::NotFound;
        // From just after (or before) the current match, else from the view's top (or
        // bottom) edge.
        uint64_t line;
        size_t from;
        if (match_ && match_->line >= base && match_->line < end) {
            line = match_->line;
            const std::string_view held = buffer.Line(line)->Text();
            from = ByteAtCell(held, match_->start) + (backward ? 0 : 1);
        } else if (!backward) {
            line = std::clamp(top_, base, end - 1);
            from = 0;
        } else {
            line = std::clamp(top_ + uint64_t(std::max(1, FullRows())) - 1, base, end - 1);
            from = SIZE_MAX;
        }
        // Every line once, the starting line's other side last.
        const uint64_t count = end - base;
        for (uint64_t step = 0; step <= count && !found; ++step) {
            const std::string_view held = buffer.Line(line)->Text();
            const size_t start = step == 0  ? std::min(from, held.size())
                                 : backward ? held.size()
                                            : 0;
            if (auto at = FindText(held, wanted, start, backward, matchCase)) {
                const uint32_t first = CellAtByte(held, *at);
                found = Match{line, first, first + CellCount(held.substr(*at, wanted.size()))};
                break;
            }
            if (backward) {
                if (line == base) wrapped = true;
                line = line == base ? end - 1 : line - 1;
            } else {
                if (line + 1 == end) wrapped = true;
                line = line + 1 == end ? base : line + 1;
            }
        }
    }
    const std::optional<Match> old = match_;
    match_ = found;
    if (old) UpdateLines(old->line, old->line);
    if (!found) return FindResult::NotFound;
    UpdateLines(found->line, found->line);
    // The match in view, its line in the middle when it was out of view.
    if (found->line < top_ || found->line >= top_ + uint64_t(std::max(1, FullRows()))) {
        const qint64 rowsAbove = std::max(1, FullRows()) / 2;
        ScrollTo(qint64(found->line) - rowsAbove, firstColumn_);
    }
    EnsureVisible({found->line, found->end > 0 ? found->end - 1 : 0});
    EnsureVisible({found->line, found->start});
    return wrapped ? FindResult::Wrapped : FindResult::Found;
}

}  // namespace zel
