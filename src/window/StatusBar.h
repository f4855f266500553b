// StatusBar: the five parts at the bottom of the main window (connection, time connected,
// bytes received, bytes sent, scroll-back position), each a label whose accessible name
// carries its meaning and its text. The main window places it at 18 pixels high.
#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

namespace zel {

class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    static constexpr int kParts = 5;

    explicit StatusBar(QWidget* parent = nullptr);

    // Out-of-range parts are ignored.
    void SetPart(int part, const QString& text);
    QString Part(int part) const;
    QLabel* PartLabel(int part) const;

private:
    std::array<QLabel*, kParts> parts_{};
};

}  // namespace zel
