// FindBar: the small bar over the top right of an output view that looks for text in the
// output buffer: a text field, previous and next, match case, and a status ("Not found",
// "Wrapped around"). Enter finds the next match, Shift+Enter the previous one, Escape closes
// the bar and gives the focus back to where it was. Every control has an accessible name.
#pragma once

#include <QFrame>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace zel {

class OutputView;

class FindBar : public QFrame {
    Q_OBJECT

public:
    explicit FindBar(OutputView& view);

    // Shows the bar with its text selected and the focus in it.
    void Open();
    // Hides the bar and removes the highlight.
    void Close();
    // Finds with the bar's text; opens the bar when it has none.
    void Search(bool backward);
    // Keeps the bar at the view's top right.
    void Place();

    QLineEdit* TextField() const { return text_; }
    QString Status() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowResult(int result);

    OutputView& view_;
    QLineEdit* text_;
    QToolButton* previous_;
    QToolButton* next_;
    QCheckBox* matchCase_;
    QLabel* status_;
    QToolButton* close_;
    QPointer<QWidget> returnFocus_;
};

}  // namespace zel
