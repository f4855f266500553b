// OutputViewAccessible: see OutputViewAccessible.h. Offsets count UTF-16 units of the lines
// in view as shown, joined by "\n".
#include "window/OutputViewAccessible.h"

#include <QString>
#include <algorithm>
#include <mutex>

#include "base/Utf8.h"
#include "engine/ClientWindow.h"
#include "window/OutputViewText.h"

namespace zel {
namespace {

QAccessibleInterface* CreateForOutputView(const QString& className, QObject* object)
{
    if (className == QLatin1String(OutputView::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new OutputViewAccessible(static_cast<OutputView*>(object));
    return nullptr;
}

// The lines in view that the buffer holds: [first, last).
struct ShownLines {
    uint64_t first = 0, last = 0;
};

ShownLines Shown(const OutputView& view, const OutputBuffer& buffer)
{
    const uint64_t first = std::max(view.TopLine(), buffer.LineBase());
    const uint64_t last =
        std::min(buffer.End(), view.TopLine() + uint64_t(std::max(view.CellRows(), 1)));
    return {first, std::max(first, last)};
}

int Utf16Length(std::string_view utf8)
{
    return int(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).size());
}

}  // namespace

void InstallOutputViewAccessibility()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(CreateForOutputView); });
}

OutputViewAccessible::OutputViewAccessible(OutputView* view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void* OutputViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State OutputViewAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.editable = false;
    s.multiLine = true;
    s.selectableText = true;
    s.focusable = true;
    return s;
}

QString OutputViewAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value) return View()->VisibleText();
    return QAccessibleWidget::text(kind);
}

int OutputViewAccessible::OffsetOf(const OutputView& view, OutputCell cell)
{
    ClientWindow& client = const_cast<OutputView&>(view).Client();
    std::scoped_lock lock(client.OutputLock());
    const OutputBuffer& buffer = client.Output();
    const ShownLines shown = Shown(view, buffer);
    if (cell.line < shown.first) return 0;
    int offset = 0;
    for (uint64_t line = shown.first; line < shown.last; ++line) {
        const std::string_view text = buffer.Line(line)->Text();
        if (line == cell.line)
            return offset + Utf16Length(text.substr(0, ByteAtCell(text, cell.column)));
        offset += Utf16Length(text) + (line + 1 < shown.last ? 1 : 0);
    }
    return offset;
}

OutputCell OutputViewAccessible::CellOf(int offset) const
{
    std::scoped_lock lock(View()->Client().OutputLock());
    const OutputBuffer& buffer = View()->Client().Output();
    const ShownLines shown = Shown(*View(), buffer);
    if (shown.first == shown.last) return {shown.first, 0};
    int at = std::max(0, offset);
    for (uint64_t line = shown.first; line < shown.last; ++line) {
        const std::string_view text = buffer.Line(line)->Text();
        const QString shownText = QString::fromUtf8(text.data(), qsizetype(text.size()));
        if (at <= shownText.size() || line + 1 == shown.last) {
            const QByteArray prefix = shownText.left(at).toUtf8();
            return {line, CellAtByte(text, std::min<size_t>(size_t(prefix.size()), text.size()))};
        }
        at -= int(shownText.size()) + 1;
    }
    return {shown.last - 1, 0};
}

void OutputViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !View()->HasSelection()) return;
    *startOffset = OffsetOf(*View(), View()->selectionStart_);
    *endOffset = OffsetOf(*View(), View()->selectionEnd_);
}

int OutputViewAccessible::selectionCount() const
{
    return View()->HasSelection() ? 1 : 0;
}

void OutputViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void OutputViewAccessible::removeSelection(int)
{
    View()->ClearSelection();
}

void OutputViewAccessible::setSelection(int, int startOffset, int endOffset)
{
    View()->Select(CellOf(startOffset), CellOf(endOffset));
}

int OutputViewAccessible::cursorPosition() const
{
    return OffsetOf(*View(), View()->caret_);
}

void OutputViewAccessible::setCursorPosition(int position)
{
    View()->MoveCaret(CellOf(position), false);
}

QString OutputViewAccessible::text(int startOffset, int endOffset) const
{
    const QString all = View()->VisibleText();
    startOffset = std::clamp(startOffset, 0, int(all.size()));
    endOffset = std::clamp(endOffset, startOffset, int(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int OutputViewAccessible::characterCount() const
{
    return int(View()->VisibleText().size());
}

QRect OutputViewAccessible::characterRect(int offset) const
{
    const QRect cell = View()->CellRect(CellOf(offset));
    return QRect(View()->mapToGlobal(cell.topLeft()), cell.size());
}

int OutputViewAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint local = View()->mapFromGlobal(point);
    if (!View()->rect().contains(local)) return -1;
    OutputCell cell = View()->CellAt(local);
    cell.column = View()->FirstColumn() + uint32_t(local.x() / View()->CellSize().width());
    return OffsetOf(*View(), cell);
}

void OutputViewAccessible::scrollToSubstring(int startIndex, int)
{
    View()->EnsureVisible(CellOf(startIndex));
}

QString OutputViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

}  // namespace zel
