#include "window/TipWindow.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>

#include "window/WindowStyle.h"

namespace zel {
namespace {

constexpr int kMargin = 3;   // on each side of the text
constexpr int kGap = 4;      // between syntax and description
constexpr int kTabStop = 8;  // characters

QStringList Lines(const std::string& text)
{
    static const QRegularExpression kLineEnds("\r\n|\r|\n");
    QStringList lines = QString::fromUtf8(text).split(kLineEnds);
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

QString ExpandTabs(const QString& line)
{
    QString out;
    for (QChar c : line) {
        if (c == '\t') {
            do out += ' ';
            while (out.size() % kTabStop != 0);
        } else {
            out += c;
        }
    }
    return out;
}

// The band behind the syntax: per channel (back + text) * 27 / 32, the text being black.
QColor BandColor(Color back)
{
    const QColor b = ToQColor(back);
    return QColor(b.red() * 27 / 32, b.green() * 27 / 32, b.blue() * 27 / 32);
}

// Draws one syntax line with its `highlight`th word (words counted at runs of spaces, the
// first being 0) in bold.
void DrawSyntaxLine(QPainter& painter, const QString& line, int y, int highlight,
                    const QFont& normal, const QFont& bold)
{
    int x = kMargin;
    int word = -1;
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        // A piece: a run of spaces, or a word.
        const bool space = line[i].isSpace();
        int j = i;
        while (j < n && line[j].isSpace() == space) ++j;
        if (!space) ++word;
        const QFont& font = !space && word == highlight ? bold : normal;
        const QString piece = line.mid(i, j - i);
        painter.setFont(font);
        painter.drawText(x, y + QFontMetrics(font).ascent(), piece);
        x += QFontMetrics(font).horizontalAdvance(piece);
        i = j;
    }
}

}  // namespace

QPoint PlaceTip(QSize size, QPoint below, const QRect& workArea, const QRect& window,
                const QRect& clientArea)
{
    if (below.y() + size.height() <= workArea.bottom() + 1) return below;
    const int y = clientArea.bottom() + 1 - size.height();
    if (window.left() - size.width() >= workArea.left())
        return QPoint(window.left() - size.width(), y);
    if (window.right() + 1 + size.width() <= workArea.right() + 1)
        return QPoint(window.right() + 1, y);
    return QPoint(workArea.right() + 1 - size.width(), y);
}

TipWindow::TipWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      syntaxFont_(WindowFont("Tahoma", 13, 400)),
      boldFont_(WindowFont("Tahoma", 13, 700)),
      descriptionFont_(WindowFont("Tahoma", 12, 400))
{
    setObjectName("syntaxTip");
    setAccessibleName("Syntax tip");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    tip_.highlight = -2;  // differs from every tip set
}

void TipWindow::SetTip(const SyntaxTip& tip)
{
    if (tip.syntax == tip_.syntax && tip.description == tip_.description &&
        tip.backColor == tip_.backColor && tip.highlight == tip_.highlight)
        return;
    tip_ = tip;
    syntaxLines_ = Lines(tip.syntax);
    for (QString& line : syntaxLines_) line = ExpandTabs(line);
    descriptionLines_ =
        Lines(tip.description.empty() ? std::string(kNoDescription) : tip.description);
    // The bold word makes a line wider, so each line is measured with it.
    int width = 0;
    syntaxHeight_ = 0;
    const QFontMetrics syntax(syntaxFont_), bold(boldFont_), description(descriptionFont_);
    for (const QString& line : syntaxLines_) {
        width = std::max(width, std::max(syntax.horizontalAdvance(line),
                                         tip.highlight >= 0 ? bold.horizontalAdvance(line) : 0));
        syntaxHeight_ += syntax.height();
    }
    int height = syntaxHeight_ + kGap;
    for (const QString& line : descriptionLines_) {
        width = std::max(width, description.horizontalAdvance(line));
        height += description.height();
    }
    setFixedSize(width + 2 * kMargin, height + 2 * kMargin);
    setAccessibleDescription(PlainText());
    update();
}

QString TipWindow::PlainText() const
{
    return (syntaxLines_ + descriptionLines_).join('\n');
}

void TipWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(tip_.backColor));
    painter.fillRect(QRect(0, 0, width(), kMargin + syntaxHeight_ + kGap / 2),
                     BandColor(tip_.backColor));
    painter.setPen(Qt::black);
    int y = kMargin;
    const int lineHeight = QFontMetrics(syntaxFont_).height();
    for (const QString& line : syntaxLines_) {
        DrawSyntaxLine(painter, line, y, tip_.highlight, syntaxFont_, boldFont_);
        y += lineHeight;
    }
    y += kGap;
    painter.setFont(descriptionFont_);
    const QFontMetrics description(descriptionFont_);
    for (const QString& line : descriptionLines_) {
        painter.drawText(kMargin, y + description.ascent(), line);
        y += description.height();
    }
    painter.setPen(QColor(0, 0, 0, 96));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zel
