#include "window/StatusBar.h"

#include <QFontMetrics>
#include <QLabel>

namespace zel {
namespace {

struct PartRow {
    const char* name;     // for screen readers
    const char* initial;  // the text at start
    const char* sample;   // the widest text the part is made to fit; none for the stretching one
};

constexpr PartRow kPartRows[StatusBar::kParts] = {
    {"Connection", "Not connected", nullptr},
    {"Time connected", "--:--:--", "00:00:00"},
    {"Bytes received", "I: 0", "I: 00000000"},
    {"Bytes sent", "O: 0", "O: 00000"},
    {"Scroll-back position", "@ 0/0", "@ 000000/000000"},
};

// Room for the label's frame and a little air on either side of the text.
constexpr int kPartPadding = 12;

QString AccessibleText(int part, const QString& text)
{
    return QString::fromLatin1(kPartRows[part].name) + ": " + text;
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName("statusBar");
    setAccessibleName("Status bar");
    setSizeGripEnabled(true);
    setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kParts; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kPartRows[i].initial), this);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        label->setAccessibleName(AccessibleText(i, label->text()));
        if (kPartRows[i].sample) {
            label->setFixedWidth(fontMetrics().horizontalAdvance(kPartRows[i].sample) +
                                 kPartPadding);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            addPermanentWidget(label);
        } else {
            addWidget(label, 1);
        }
        parts_[size_t(i)] = label;
    }
}

void StatusBar::SetPart(int part, const QString& text)
{
    if (part < 0 || part >= kParts) return;
    QLabel* label = parts_[size_t(part)];
    if (label->text() == text) return;
    label->setText(text);
    label->setAccessibleName(AccessibleText(part, text));
}

QString StatusBar::Part(int part) const
{
    return part >= 0 && part < kParts ? parts_[size_t(part)]->text() : QString();
}

QLabel* StatusBar::PartLabel(int part) const
{
    return part >= 0 && part < kParts ? parts_[size_t(part)] : nullptr;
}

}  // namespace zel
