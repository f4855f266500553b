#include "window/HistoryList.h"

#include <QFontMetrics>
#include <QStyledItemDelegate>

#include "engine/ClientWindow.h"
#include "window/WindowStyle.h"

namespace zel {
namespace {

// Rows exactly one line of the font high.
class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(QFontMetrics(option.font).height());
        return size;
    }
};

}  // namespace

HistoryList::HistoryList(ClientWindow& client, QWidget* parent)
    : QListWidget(parent), client_(client)
{
    setObjectName("historyList");
    setAccessibleName("Command history");
    setFont(InputFont());
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);
    SetTextColors(*this, kHistoryBackColor, kHistoryTextColor, QColor(70, 90, 140));
}

int HistoryList::ItemHeight() const
{
    return QFontMetrics(font()).height();
}

int HistoryList::VisibleRows() const
{
    return std::max(1, viewport()->height() / std::max(1, ItemHeight()));
}

void HistoryList::Reload()
{
    const auto& lines = client_.History().Lines();
    setUpdatesEnabled(false);
    // Lines only come and go at the ends, so most rows stay: rewrite the ones that differ.
    while (count() > int(lines.size())) delete takeItem(count() - 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString text = QString::fromUtf8(client_.EngineToUtf8(lines[i]));
        if (int(i) < count()) {
            if (item(int(i))->text() != text) item(int(i))->setText(text);
        } else {
            addItem(text);
        }
    }
    setUpdatesEnabled(true);
    ShowCursor();
    if (!client_.History().Cursor()) scrollToBottom();
}

void HistoryList::ShowCursor()
{
    const std::optional<size_t> cursor = client_.History().Cursor();
    if (cursor && int(*cursor) < count()) {
        setCurrentRow(int(*cursor));
        scrollToItem(item(int(*cursor)));
    } else {
        clearSelection();
        setCurrentRow(-1);
    }
}

}  // namespace zel
