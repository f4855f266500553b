#include "window/ButtonBar.h"

#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include "input/InternalActions.h"

namespace zel {
namespace {

struct ButtonRow {
    const char* text;
    const char* glyph;  // drawn on the button's picture
    QRgb color;         // the picture's colour
};

constexpr ButtonRow kButtonRows[ButtonBar::kButtons] = {
    {"Aliases", "a>", 0x3b7dd8},  {"Bindings", "^K", 0x8e5cc4}, {"Completes", "ab", 0x2f9e8f},
    {"Syntaxes", "{}", 0xc48a1f}, {"Actions", "!", 0xd0453a},   {"Timers", "0:0", 0x4a9a3c},
    {"Variables", "$", 0xb8527f}, {"Scripts", "</>", 0x5a6f86}, {"Setup", "*", 0x707070},
};

// The buttons open the pages in order, then the setup.
int ButtonAction(int index)
{
    return index < ButtonBar::kButtons - 1 ? int(InternalAction::SetupAliases) + index
                                           : int(InternalAction::SetupSetup);
}

// The pictures are 24 by 12 pixels.
constexpr int kPictureWidth = 24;
constexpr int kPictureHeight = 12;

QPixmap Picture(const ButtonRow& row)
{
    QPixmap picture(kPictureWidth, kPictureHeight);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(row.color));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kPictureWidth - 1, kPictureHeight - 1), 3, 3);
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, kPictureWidth, kPictureHeight), Qt::AlignCenter,
                     QString::fromLatin1(row.glyph));
    return picture;
}

}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent)
{
    setObjectName("toolbar");
    setAccessibleName("Toolbar");
    for (int i = 0; i < kButtons; ++i) {
        const ButtonRow& row = kButtonRows[i];
        auto* button = new QToolButton(this);
        button->setText(QString::fromLatin1(row.text));
        button->setIcon(QIcon(Picture(row)));
        button->setIconSize(QSize(kPictureWidth, kPictureHeight));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setAccessibleName(button->text());
        button->setToolTip(button->text());
        const int action = ButtonAction(i);
        connect(button, &QToolButton::clicked, this,
                [this, action] { emit ActionTriggered(action); });
        buttons_[size_t(i)] = button;
    }
}

int ButtonBar::BarHeight() const
{
    return buttons_[0]->sizeHint().height();
}

void ButtonBar::SetButtonWidth(int width)
{
    buttonWidth_ = width;
    for (int i = 0; i < kButtons; ++i)
        buttons_[size_t(i)]->setGeometry(i * width, 0, width, height());
}

void ButtonBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SetButtonWidth(buttonWidth_);
}

}  // namespace zel
