// The fonts and colours of the main window's own children (the output views have theirs).
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include "display/TextFormat.h"

namespace zel {

// A client colour (red in the lowest byte) as a QColor.
QColor ToQColor(Color color);
// Gives a text widget its back and text colours, and a selection drawn in `highlight` with
// white text.
void SetTextColors(QWidget& widget, Color back, Color text, const QColor& highlight);

// The named face at a pixel size and weight (0..1000); when the face is not installed,
// fontconfig's fallback of the same kind (fixed pitch for `fixedPitch`).
QFont WindowFont(const QString& face, int pixelSize, int weight, bool fixedPitch = false);

// The input line and history list: "MS Sans Serif", 12 pixels, bold.
QFont InputFont();
// The prompt line: "Courier New", as large as fits in `lineHeight` pixels, at most 16.
QFont PromptFont(int lineHeight);

// The input and prompt lines' colours.
inline constexpr Color kLineBackColor = MakeColor(64, 64, 64);
inline constexpr Color kLineTextColor = MakeColor(255, 255, 255);
// The history list's.
inline constexpr Color kHistoryBackColor = MakeColor(0, 0, 0);
inline constexpr Color kHistoryTextColor = MakeColor(192, 192, 192);

}  // namespace zel
