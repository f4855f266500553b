// InputLineWidget: the input line, a QLineEdit that is the EditControl of the client's
// InputLine. Each key press becomes a key code (KeyMapping.h) and goes to the
// InputController first; what it leaves is ordinary typing for the QLineEdit. Offsets of
// EditControl are UTF-8 byte offsets, converted here to the widget's positions.
#pragma once

#include <QLineEdit>
#include <functional>

#include "lineedit/EditControl.h"

namespace zel {

class InputController;

class InputLineWidget : public QLineEdit, public EditControl {
    Q_OBJECT

public:
    explicit InputLineWidget(QWidget* parent = nullptr);

    void SetController(InputController* controller) { controller_ = controller; }
    // Asked about keys the controller left alone before the QLineEdit sees them: true when
    // the window used the key (an unbound Ctrl+F opens the find bar).
    void SetWindowKeyHandler(std::function<bool(KeyCode)> handler)
    {
        windowKeys_ = std::move(handler);
    }
    // Server echo off: the text shows as stars.
    void SetPasswordMode(bool on);
    // The x in widget pixels where the character at UTF-8 offset `byte` begins.
    int XOfByte(size_t byte) const;

    // --- EditControl ---
    std::string Text() const override;
    size_t SelectionStart() const override;
    size_t SelectionEnd() const override;
    size_t Caret() const override;
    void Select(size_t anchor, size_t caret) override;
    void ReplaceSelection(std::string_view text) override;
    void Cut() override { cut(); }
    void Copy() override { copy(); }
    void Paste() override;
    bool OwnsKey(KeyCode code) const override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int PositionOf(size_t byte) const;
    size_t ByteOf(int position) const;

    InputController* controller_ = nullptr;
    std::function<bool(KeyCode)> windowKeys_;
    bool appsDown_ = false;
};

}  // namespace zel
