// ButtonBar: the main window's toolbar, nine buttons with text and a small picture that open
// the definition pages ("Aliases" to "Scripts") and the setup ("Setup"). The main window
// places it and sets the buttons' width; each click is reported as its internal action.
#pragma once

#include <QWidget>
#include <array>

class QToolButton;

namespace zel {

class ButtonBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kButtons = 9;

    explicit ButtonBar(QWidget* parent = nullptr);

    // The bar's height: the buttons' own.
    int BarHeight() const;
    // Places the buttons side by side, each `width` pixels wide.
    void SetButtonWidth(int width);
    QToolButton* Button(int index) const { return buttons_[size_t(index)]; }

signals:
    // The internal action of the button (SETUP_ALIASES .. SETUP_SCRIPTS, SETUP_SETUP).
    void ActionTriggered(int action);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QToolButton*, kButtons> buttons_{};
    int buttonWidth_ = 0;
};

}  // namespace zel
