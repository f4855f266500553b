#include "window/WindowStyle.h"

#include <QFontMetrics>
#include <QPalette>

namespace zel {
namespace {

constexpr int kInputPixels = 12;
constexpr int kPromptPixels = 16;
constexpr int kBold = 700;

}  // namespace

void SetTextColors(QWidget& widget, Color back, Color text, const QColor& highlight)
{
    QPalette colors = widget.palette();
    colors.setColor(QPalette::Base, ToQColor(back));
    colors.setColor(QPalette::Text, ToQColor(text));
    colors.setColor(QPalette::Highlight, highlight);
    colors.setColor(QPalette::HighlightedText, Qt::white);
    widget.setPalette(colors);
}

QColor ToQColor(Color color)
{
    return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}

QFont WindowFont(const QString& face, int pixelSize, int weight, bool fixedPitch)
{
    QFont font(face);
    font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    font.setFixedPitch(fixedPitch);
    font.setPixelSize(std::max(pixelSize, 1));
    // Qt's weights run 1..1000 like the client's; 0 is the normal weight.
    font.setWeight(QFont::Weight(std::clamp(weight > 0 ? weight : 400, 1, 1000)));
    return font;
}

QFont InputFont()
{
    return WindowFont("MS Sans Serif", kInputPixels, kBold);
}

QFont PromptFont(int lineHeight)
{
    for (int pixels = kPromptPixels; pixels > 1; --pixels) {
        QFont font = WindowFont("Courier New", pixels, 400, true);
        if (QFontMetrics(font).height() <= lineHeight) return font;
    }
    return WindowFont("Courier New", 1, 400, true);
}

}  // namespace zel
