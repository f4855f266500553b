#include "window/InputLineWidget.h"

#include <QKeyEvent>

#include "lineedit/InputController.h"
#include "window/KeyMapping.h"
#include "window/WindowStyle.h"

namespace zel {
namespace {

using namespace key;

// Unbound Control combinations that keep their meaning in a desktop line edit: undo, redo,
// deleting and selecting by words.
constexpr KeyCode kOwnedKeys[] = {
    kControl | 'Z',
    kControl | kShift | 'Z',
    kControl | 'Y',
    kControl | kBackspace,
    kControl | kDelete,
    kControl | kShift | kLeft,
    kControl | kShift | kRight,
    kControl | kShift | kHome,
    kControl | kShift | kEnd,
};

int CharacterCount(const QString& text)
{
    return int(text.toUcs4().size());
}

}  // namespace

InputLineWidget::InputLineWidget(QWidget* parent) : QLineEdit(parent)
{
    setObjectName("inputLine");
    setAccessibleName("Input line");
    setFont(InputFont());
    setFrame(false);
    setMaxLength(int(kInputCapacity));
    setTextMargins(2, 0, 2, 0);
    SetTextColors(*this, kLineBackColor, kLineTextColor, QColor(110, 140, 200));
}

void InputLineWidget::SetPasswordMode(bool on)
{
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
    if (on) {
        selectAll();
    } else {
        clear();
    }
}

int InputLineWidget::PositionOf(size_t byte) const
{
    const std::string utf8 = Text();
    return int(QString::fromUtf8(utf8.data(), qsizetype(std::min(byte, utf8.size()))).size());
}

size_t InputLineWidget::ByteOf(int position) const
{
    return size_t(text().left(position).toUtf8().size());
}

int InputLineWidget::XOfByte(size_t byte) const
{
    // The caret's rectangle knows the scrolling; the text before it gives the distance.
    const QString shown = displayText();
    const int caret = cursorPosition();
    const int at = PositionOf(byte);
    const QFontMetrics metrics(font());
    return cursorRect().center().x() - metrics.horizontalAdvance(shown.left(caret)) +
           metrics.horizontalAdvance(shown.left(at));
}

std::string InputLineWidget::Text() const
{
    return text().toStdString();
}

size_t InputLineWidget::SelectionStart() const
{
    return ByteOf(hasSelectedText() ? selectionStart() : cursorPosition());
}

size_t InputLineWidget::SelectionEnd() const
{
    return ByteOf(hasSelectedText() ? selectionEnd() : cursorPosition());
}

size_t InputLineWidget::Caret() const
{
    return ByteOf(cursorPosition());
}

void InputLineWidget::Select(size_t anchor, size_t caret)
{
    const int from = PositionOf(anchor);
    const int to = PositionOf(caret);
    if (from == to) {
        setCursorPosition(to);
    } else {
        setSelection(from, to - from);
    }
}

void InputLineWidget::ReplaceSelection(std::string_view utf8)
{
    const QString inserted = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    const int kept = CharacterCount(text()) - CharacterCount(selectedText());
    const int room = std::max(0, int(kInputCapacity) - kept);
    const QList<uint> characters = inserted.toUcs4();
    if (characters.size() <= room) {
        insert(inserted);
    } else {
        insert(QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), room));
    }
}

void InputLineWidget::Paste()
{
    paste();
}

bool InputLineWidget::OwnsKey(KeyCode code) const
{
    for (KeyCode owned : kOwnedKeys)
        if (code == owned) return true;
    return false;
}

bool InputLineWidget::event(QEvent* event)
{
    // Every key is the client's to bind: no shortcut takes it first, and Tab completes
    // instead of moving the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void InputLineWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Menu) appsDown_ = true;
    const bool apps = appsDown_ && event->key() != Qt::Key_Menu;
    const KeyCode code = KeyCodeOf(event->key(), event->modifiers(), apps);
    event->accept();
    if (windowKeys_ && windowKeys_(code)) return;
    if (controller_ && controller_->KeyPress(code)) return;
    QLineEdit::keyPressEvent(event);
    // The line edit's own leftovers (Return, Escape) stop here, not in the window.
    event->accept();
    if (controller_) controller_->KeyReachedControl();
}

void InputLineWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Menu) appsDown_ = false;
    QLineEdit::keyReleaseEvent(event);
}

void InputLineWidget::focusOutEvent(QFocusEvent* event)
{
    appsDown_ = false;
    QLineEdit::focusOutEvent(event);
}

}  // namespace zel
