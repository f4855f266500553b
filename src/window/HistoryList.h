// HistoryList: the history window above the input line, the client's command history
// oldest first with the history cursor as the current row. Light grey on black, its rows
// exactly one line of its font high, so that the main window can size it in whole rows.
#pragma once

#include <QListWidget>

namespace zel {

class ClientWindow;

class HistoryList : public QListWidget {
    Q_OBJECT

public:
    HistoryList(ClientWindow& client, QWidget* parent = nullptr);

    // Pixels of one row.
    int ItemHeight() const;
    // Whole rows that fit.
    int VisibleRows() const;
    // Shows the history's lines as they now are, the last ones in view.
    void Reload();
    // Shows the history cursor (or none) and brings its row into view.
    void ShowCursor();

private:
    ClientWindow& client_;
};

}  // namespace zel
