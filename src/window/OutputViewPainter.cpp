// OutputViewPainter: see OutputViewPainter.h. A row is drawn run by run: the run's back colour
// over its cells, then its characters. One-cell characters that the face has are placed as
// glyphs, each at its cell, in one call per run: no text shaping, and the grid holds whatever
// the face's advance. Wide characters, characters with combining marks and characters the
// face lacks are drawn one by one through the font system (which finds a fallback face) at
// their first cell.
#include "window/OutputViewPainter.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/Utf8.h"
#include "window/OutputViewText.h"

namespace zel {
namespace {

// Bounds that keep a hostile `font` command from asking for absurd glyph sizes.
constexpr int kMaximumPixels = 512;
constexpr int kMaximumCell = 1000;
constexpr int kMaximumStretch = 4000;  // QFont's own limit

// X-effects: extra copies of the text around it, in a shade of the text colour.
enum class Shade : uint8_t { Dark, Light, Same };
struct Offset {
    int8_t dx, dy;
    Shade shade;
};
struct XEffect {
    Offset copies[8];
    uint8_t count;
};
constexpr Offset kCross[] = {
    {-1, 0, Shade::Dark}, {1, 0, Shade::Dark}, {0, -1, Shade::Dark}, {0, 1, Shade::Dark}};
// Index = x-effect 1..11 ("Outline" .. "Etched"); 12 ("Boxed") is a frame.
constexpr XEffect kXEffects[] = {
    {{kCross[0], kCross[1], kCross[2], kCross[3]}, 4},  // Outline
    {{{1, 1, Shade::Dark}}, 1},                         // Shadow
    {{{1, 1, Shade::Dark}, {2, 2, Shade::Dark}}, 2},    // Fat shadow
    {{{-1, 0, Shade::Light}, {1, 0, Shade::Light}, {0, -1, Shade::Light}, {0, 1, Shade::Light}},
     4},  // Glow
    {{{-1, 0, Shade::Light},
      {1, 0, Shade::Light},
      {0, -1, Shade::Light},
      {0, 1, Shade::Light},
      {-2, 0, Shade::Light},
      {2, 0, Shade::Light},
      {0, -2, Shade::Light},
      {0, 2, Shade::Light}},
     8},                                                 // Fat glow
    {{{1, 0, Shade::Same}}, 1},                          // Fat
    {{{1, 0, Shade::Same}, {0, 1, Shade::Same}}, 2},     // Extra fat
    {{{1, 0, Shade::Same}}, 1},                          // Wide
    {{{1, 0, Shade::Same}, {2, 0, Shade::Same}}, 2},     // Extra Wide
    {{{-1, -1, Shade::Light}, {1, 1, Shade::Dark}}, 2},  // Embossed
    {{{1, 1, Shade::Light}, {-1, -1, Shade::Dark}}, 2},  // Etched
};
constexpr uint32_t kBoxed = 12;
constexpr uint32_t kDefaultXEffect = 15;

// A colour that no real colour has (high byte set) stands for the view's default.
Color OrDefault(Color color, Color fallback)
{
    return (color >> 24) != 0 ? fallback : color;
}

uint32_t FontKey(const TextFormat& format, int defaultWeight)
{
    const int weight = std::clamp(format.weight > 0 ? format.weight : defaultWeight, 1, 1000);
    const uint32_t effects =
        format.effects & (effect::kItalic | effect::kUnderline | effect::kStrikeout);
    return uint32_t(weight) | effects << 16;
}

}  // namespace

OutputViewPainter::OutputViewPainter()
{
    MakeDefaultFont();
}

void OutputViewPainter::SetFont(const QString& face, int height, int width, int weight)
{
    face_ = face;
    height_ = height;
    width_ = width;
    weight_ = weight;
    MakeDefaultFont();
}

void OutputViewPainter::SetCellSize(int height, int width)
{
    requestedCellHeight_ = height;
    requestedCellWidth_ = width;
    MakeDefaultFont();
}

void OutputViewPainter::SetColors(Color backColor, Color textColor)
{
    back_ = backColor & 0xFFFFFF;
    text_ = textColor & 0xFFFFFF;
}

void OutputViewPainter::MakeDefaultFont()
{
    fonts_.clear();
    // The named face when installed, else fontconfig's choice for a monospace hint, else
    // the system's fixed font.
    QFont font;
    font.setFamily(face_.isEmpty() ? QStringLiteral("Courier New") : face_);
    font.setStyleHint(QFont::Monospace);
    if (!QFontDatabase::hasFamily(font.family()) && !QFontInfo(font).fixedPitch())
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    font.setKerning(false);
    font.setWeight(QFont::Weight(std::clamp(weight_ > 0 ? weight_ : 400, 1, 1000)));

    // The height is the cell's, as a font system's positive height is: the glyphs' ascent
    // and descent fit in it.
    const int pixels = std::clamp(height_ > 0 ? height_ : 16, 1, kMaximumPixels);
    font.setPixelSize(pixels);
    const qreal natural = QFontMetricsF(font).height();
    if (natural > pixels)
        font.setPixelSize(std::max(1, int(std::lround(pixels * pixels / natural))));
    fontPixelHeight_ = pixels;

    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    charWidth_ = advance;
    if (width_ >= 1 && advance > 0) {
        font.setStretch(std::clamp(int(std::lround(width_ * 100.0 / advance)), 1, kMaximumStretch));
        charWidth_ = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    }
    font_ = font;

    cellHeight_ =
        std::clamp(requestedCellHeight_ > 0 ? requestedCellHeight_ : pixels, 1, kMaximumCell);
    int cellWidth = requestedCellWidth_;
    if (cellWidth <= 0) cellWidth = charWidth_ >= 1 ? int(std::lround(charWidth_)) : pixels / 2;
    cellWidth_ = std::clamp(cellWidth, 1, kMaximumCell);
}

const OutputViewPainter::CachedFont& OutputViewPainter::FontFor(const TextFormat& format)
{
    const uint32_t key = FontKey(format, weight_);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;

    CachedFont cached;
    QFont font = font_;
    font.setWeight(QFont::Weight(key & 0xFFFF));
    font.setItalic(format.effects & effect::kItalic);
    font.setUnderline(format.effects & effect::kUnderline);
    font.setStrikeOut(format.effects & effect::kStrikeout);
    const QFontMetricsF metrics(font);
    cached.baseline = int(
        std::lround((cellHeight_ - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent()));
    cached.font = font;
    cached.raw = QRawFont::fromFont(font);
    if (cached.raw.isValid()) {
        QChar ascii[128];
        for (int c = 0; c < 128; ++c) ascii[c] = QChar(c < 0x20 || c == 0x7F ? kControlDot : c);
        int count = 128;
        cached.raw.glyphIndexesForChars(ascii, 128, cached.ascii, &count);
    }
    return fonts_.emplace(key, std::move(cached)).first->second;
}

bool OutputViewPainter::AddGlyph(const CachedFont& font, char32_t c, int x)
{
    if (!font.raw.isValid()) return false;
    quint32 glyph = 0;
    if (c < 128) {
        glyph = font.ascii[c];
    } else {
        QChar pair[2];
        int length = 0;
        if (IsControlCharacter(c)) {
            pair[length++] = QChar(kControlDot);
        } else if (QChar::requiresSurrogates(c)) {
            pair[length++] = QChar(QChar::highSurrogate(c));
            pair[length++] = QChar(QChar::lowSurrogate(c));
        } else {
            pair[length++] = QChar(char16_t(c));
        }
        quint32 indexes[2] = {};
        int count = 2;
        if (font.raw.glyphIndexesForChars(pair, length, indexes, &count) && count >= 1)
            glyph = indexes[0];
    }
    if (glyph == 0) return false;
    glyphs_.push_back(glyph);
    positions_.push_back(QPointF(x, baseline_));
    return true;
}

void OutputViewPainter::RunColors(const TextFormat& format, bool blinkPhase, QColor& back,
                                  QColor& text) const
{
    Color b = OrDefault(format.backColor, back_);
    Color t = OrDefault(format.textColor, text_);
    if ((format.mask & mask::kInverse) && (format.effects & effect::kInverse)) std::swap(b, t);
    if (blinkPhase) {
        switch ((format.effects & effect::kBlink) >> 16) {
            case 1:  // the text disappears
                t = b;
                break;
            case 2:
                std::swap(b, t);
                break;
            case 3:
                b ^= 0xFFFFFF;
                t ^= 0xFFFFFF;
                break;
        }
    }
    back = ToQColor(b);
    text = ToQColor(t);
}

void OutputViewPainter::DrawPieces(QPainter& painter, const CachedFont& font,
                                   const TextFormat& format, QColor text, QColor back, int y)
{
    QGlyphRun run;
    if (!glyphs_.empty()) {
        run.setRawFont(font.raw);
        run.setGlyphIndexes(QList<quint32>(glyphs_.begin(), glyphs_.end()));
        run.setPositions(QList<QPointF>(positions_.begin(), positions_.end()));
        run.setUnderline(font.font.underline());
        run.setStrikeOut(font.font.strikeOut());
    }
    const auto drawAll = [&](QPointF offset) {
        if (!glyphs_.empty()) painter.drawGlyphRun(offset, run);
        if (pieces_.empty()) return;
        painter.setFont(font.font);
        for (const Piece& piece : pieces_)
            painter.drawText(QPointF(piece.x, y + font.baseline) + offset, piece.text);
    };
    uint32_t xEffect = (format.effects & effect::kXEffect) >> 24;
    if (xEffect == kDefaultXEffect) xEffect = 0;  // the view's default format has none
    if (xEffect >= 1 && xEffect <= std::size(kXEffects)) {
        const XEffect& x = kXEffects[xEffect - 1];
        const QColor dark = back.lightness() > 128 ? text.darker(300) : back.darker(300);
        const QColor light = text.lighter(160);
        for (uint8_t i = 0; i < x.count; ++i) {
            const Offset& o = x.copies[i];
            painter.setPen(o.shade == Shade::Dark ? dark : o.shade == Shade::Light ? light : text);
            drawAll(QPointF(o.dx, o.dy));
        }
    }
    painter.setPen(text);
    drawAll(QPointF(0, 0));
    if (xEffect == kBoxed) {
        for (size_t i = 0; i < positions_.size(); ++i)
            painter.drawRect(int(positions_[i].x()), y, cellWidth_ - 1, cellHeight_ - 1);
        for (const Piece& piece : pieces_)
            painter.drawRect(piece.x, y, piece.cells * cellWidth_ - 1, cellHeight_ - 1);
    }
}

void RowText::Take(const OutputBuffer& buffer, const OutputLine* line)
{
    held = line != nullptr;
    text.clear();
    runs.clear();
    formats.clear();
    if (!line) return;
    text.assign(line->Text());
    for (const TextRun& run : line->Runs()) {
        runs.push_back(run);
        formats.push_back(buffer.Format(run.format));
    }
}

bool OutputViewPainter::DrawRow(QPainter& painter, const RowText& row, int y, uint32_t firstColumn,
                                int width, bool blinkPhase)
{
    const QColor defaultBack = ToQColor(back_);
    painter.setClipRect(0, y, width, cellHeight_);
    painter.fillRect(0, y, width, cellHeight_, defaultBack);
    if (!row.held || row.text.empty()) return false;

    const std::string_view text = row.text;
    const std::span<const TextRun> runs = row.runs;
    const uint32_t lastCell = firstColumn + uint32_t((width + cellWidth_ - 1) / cellWidth_);
    size_t at = ByteAtCell(text, firstColumn);
    if (at >= text.size()) return false;
    uint32_t cell = CellAtByte(text, at);
    const auto xOf = [&](uint32_t c) { return (int(c) - int(firstColumn)) * cellWidth_; };

    bool blinks = false;
    const size_t firstRun =
        size_t(std::upper_bound(runs.begin(), runs.end(), uint32_t(at),
                                [](uint32_t byte, const TextRun& run) { return byte < run.end; }) -
               runs.begin());
    for (size_t r = firstRun; r < runs.size() && cell < lastCell; ++r) {
        const size_t runEnd = std::min<size_t>(runs[r].end, text.size());
        if (runEnd <= at) continue;
        const TextFormat& format = row.formats[r];
        const CachedFont& font = FontFor(format);
        pieces_.clear();
        glyphs_.clear();
        positions_.clear();
        baseline_ = y + font.baseline;
        const uint32_t runStart = cell;
        while (at < runEnd && cell < lastCell) {
            Utf8Char c{char32_t(static_cast<unsigned char>(text[at])), 1};
            if (c.code >= 0x80) c = DecodeUtf8At(text, at);
            const int cells = zel::CellWidth(c.code);
            // Combining marks after the character stay with it.
            size_t clusterEnd = at + c.length;
            while (clusterEnd < runEnd && static_cast<unsigned char>(text[clusterEnd]) >= 0x80) {
                const Utf8Char mark = DecodeUtf8At(text, clusterEnd);
                if (zel::CellWidth(mark.code) != 0) break;
                clusterEnd += mark.length;
            }
            const bool alone = clusterEnd == at + c.length;
            if (!(cells == 1 && alone && AddGlyph(font, c.code, xOf(cell)))) {
                pieces_.push_back(
                    {IsControlCharacter(c.code)
                         ? QString(QChar(kControlDot))
                         : QString::fromUtf8(text.data() + at, qsizetype(clusterEnd - at)),
                     xOf(cell), std::max(cells, 1)});
            }
            cell += uint32_t(cells);
            at = clusterEnd;
        }
        QColor back, fore;
        RunColors(format, blinkPhase, back, fore);
        if (back != defaultBack)
            painter.fillRect(xOf(runStart), y, xOf(cell) - xOf(runStart), cellHeight_, back);
        if (format.effects & effect::kBlink) blinks = true;
        DrawPieces(painter, font, format, fore, back, y);
    }
    return blinks;
}

}  // namespace zel
