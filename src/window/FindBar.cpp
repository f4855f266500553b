// FindBar: see FindBar.h.
#include "window/FindBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "window/OutputView.h"

namespace zel {
namespace {

constexpr int kMargin = 4;

QToolButton* MakeButton(QWidget* parent, const QString& text, const QString& name,
                        const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(name);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

FindBar::FindBar(OutputView& view) : QFrame(&view), view_(view)
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setAccessibleName(tr("Find in output"));
    setCursor(Qt::ArrowCursor);

    text_ = new QLineEdit(this);
    text_->setAccessibleName(tr("Find text"));
    text_->setPlaceholderText(tr("Find"));
    text_->setClearButtonEnabled(true);
    text_->installEventFilter(this);
    previous_ = MakeButton(this, QStringLiteral("\u25B2"), tr("Previous match"),
                           tr("Previous match (Shift+Enter)"));
    next_ = MakeButton(this, QStringLiteral("\u25BC"), tr("Next match"), tr("Next match (Enter)"));
    matchCase_ = new QCheckBox(tr("Match case"), this);
    matchCase_->setAccessibleName(tr("Match case"));
    status_ = new QLabel(this);
    status_->setAccessibleName(tr("Find status"));
    close_ = MakeButton(this, QStringLiteral("\u2715"), tr("Close find bar"), tr("Close (Escape)"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin / 2, kMargin, kMargin / 2);
    layout->setSpacing(kMargin);
    for (QWidget* child : {static_cast<QWidget*>(text_), static_cast<QWidget*>(previous_),
                           static_cast<QWidget*>(next_), static_cast<QWidget*>(matchCase_),
                           static_cast<QWidget*>(status_), static_cast<QWidget*>(close_)})
        layout->addWidget(child);

    connect(previous_, &QToolButton::clicked, this, [this] { Search(true); });
    connect(next_, &QToolButton::clicked, this, [this] { Search(false); });
    connect(close_, &QToolButton::clicked, this, &FindBar::Close);
    // Typing looks again from the view, so the first match from the top shows.
    connect(text_, &QLineEdit::textEdited, this, [this] {
        view_.ClearFind();
        Search(false);
    });
    connect(matchCase_, &QCheckBox::toggled, this, [this] {
        view_.ClearFind();
        Search(false);
    });
}

void FindBar::Place()
{
    adjustSize();
    const int width = std::min(sizeHint().width(), view_.width());
    resize(width, sizeHint().height());
    move(std::max(0, view_.width() - width), 0);
}

void FindBar::Open()
{
    if (!isVisible()) {
        QWidget* focused = QApplication::focusWidget();
        if (focused && !isAncestorOf(focused)) returnFocus_ = focused;
        Place();
        show();
        raise();
    }
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void FindBar::Close()
{
    hide();
    view_.ClearFind();
    status_->clear();
    if (returnFocus_)
        returnFocus_->setFocus(Qt::OtherFocusReason);
    else
        view_.setFocus(Qt::OtherFocusReason);
}

void FindBar::Search(bool backward)
{
    if (text_->text().isEmpty()) {
        view_.ClearFind();
        status_->clear();
        if (!isVisible()) Open();
        return;
    }
    ShowResult(int(view_.Find(text_->text(), backward, matchCase_->isChecked())));
}

void FindBar::ShowResult(int result)
{
    switch (OutputView::FindResult(result)) {
        case OutputView::FindResult::Found:
            status_->clear();
            break;
        case OutputView::FindResult::Wrapped:
            status_->setText(tr("Wrapped around"));
            break;
        case OutputView::FindResult::NotFound:
            status_->setText(tr("Not found"));
            break;
    }
    text_->setAccessibleDescription(status_->text());
    Place();
}

QString FindBar::Status() const
{
    return status_->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Search(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->matches(QKeySequence::FindNext) || key->matches(QKeySequence::FindPrevious)) {
            Search(key->matches(QKeySequence::FindPrevious));
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) return Close();
    QFrame::keyPressEvent(event);
}

}  // namespace zel
