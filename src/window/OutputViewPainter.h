// OutputViewPainter: how an output view draws one row of the grid. It owns the view's default
// font, cell size and colours, and a cache of the fonts that the runs' formats ask for. Every
// cell has the same size: runs take only weight and effects from their format, never face,
// height or width. User-interface thread; the caller holds OutputLock while it draws.
#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/OutputBuffer.h"

class QPainter;

namespace zel {

// A line as a row draws it, copied out of the buffer so that drawing holds no lock.
struct RowText {
    bool held = false;
    std::string text;
    std::vector<TextRun> runs;
    std::vector<TextFormat> formats;  // the format of each run
    // Copies `line` (null: a row outside the buffer). OutputLock held.
    void Take(const OutputBuffer& buffer, const OutputLine* line);
};

class OutputViewPainter {
public:
    OutputViewPainter();

    // See OutputView::SetFont and SetCellSize.
    void SetFont(const QString& face, int height, int width, int weight);
    void SetCellSize(int height, int width);
    void SetColors(Color backColor, Color textColor);

    const QFont& DefaultFont() const { return font_; }
    int CellHeight() const { return cellHeight_; }
    int CellWidth() const { return cellWidth_; }
    QColor BackColor() const { return ToQColor(back_); }

    // Draws `row` into the row whose top is `y`, cell `firstColumn` at x 0, over `width`
    // pixels. True when a blinking run is in view.
    bool DrawRow(QPainter& painter, const RowText& row, int y, uint32_t firstColumn, int width,
                 bool blinkPhase);

    static QColor ToQColor(Color color)
    {
        return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
    }

private:
    // A font of the cache: the default face with a format's weight and effects.
    struct CachedFont {
        QFont font;
        QRawFont raw;
        int baseline = 0;  // from the cell's top
        // Glyphs of the printable ASCII characters (0: none in this face).
        quint32 ascii[128] = {};
    };
    // A piece of a run to draw: glyphs placed on the grid, or a cluster of characters that
    // the font system draws (with fallback faces) at its first cell.
    struct Piece {
        QString text;  // empty for glyphs
        int x = 0;
        int cells = 1;
    };

    void MakeDefaultFont();
    const CachedFont& FontFor(const TextFormat& format);
    // The colours of a run: its format's, defaults filled in, inverse and blinking applied.
    void RunColors(const TextFormat& format, bool blinkPhase, QColor& back, QColor& text) const;
    void DrawPieces(QPainter& painter, const CachedFont& font, const TextFormat& format,
                    QColor text, QColor back, int y);

    QString face_ = "Courier New";
    int height_ = 16, width_ = 0, weight_ = 400;
    int requestedCellHeight_ = 0, requestedCellWidth_ = 0;
    QFont font_;
    int fontPixelHeight_ = 16;
    qreal charWidth_ = 8;
    int cellHeight_ = 16, cellWidth_ = 8;
    Color back_ = MakeColor(0, 0, 0);
    Color text_ = MakeColor(192, 192, 192);
    std::unordered_map<uint32_t, CachedFont> fonts_;
    // The glyph of a one-cell character, placed at its cell; false when the face has none.
    bool AddGlyph(const CachedFont& font, char32_t c, int x);

    std::vector<Piece> pieces_;  // reused between runs
    std::vector<quint32> glyphs_;
    std::vector<QPointF> positions_;
    int baseline_ = 0;  // of the run being drawn
};

}  // namespace zel
