// Shared by the output view tests: a real client with an output view shown on the offscreen
// platform, on a 10 x 20 pixel cell grid, and the means to wait, click and look at pixels.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <chrono>
#include <string_view>

#include <gtest/gtest.h>

#include "TestClient.h"
#include "WaitUntil.h"
#include "window/FindBar.h"
#include "window/OutputView.h"

namespace zel::test {

inline constexpr int kCellWidth = 10;
inline constexpr int kCellHeight = 20;

// Runs the event loop until `done` holds; false after the wait limit.
template <typename Predicate>
bool ProcessUntil(Predicate&& done, std::chrono::milliseconds limit = kWaitLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(1);
    }
    return true;
}

class OutputViewTest : public ::testing::Test {
protected:
    explicit OutputViewTest(OutputView::Role role = OutputView::Role::Output) : view(client, role)
    {
        // Received text in UTF-8, so the tests can send any character.
        client.ExecuteLine("||option encoding UTF-8", false, false);
        view.SetCellSize(kCellHeight, kCellWidth);
        view.resize(40 * kCellWidth, 10 * kCellHeight);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // Received text, as the network thread prints it (ANSI codes interpreted).
    void Receive(std::string_view text) { client.PrintReceived(text); }
    // Waits until the view has taken in every append so far.
    bool Settle()
    {
        return ProcessUntil([&] { return view.UpToDate(); });
    }
    QString ExpectedVisibleText()
    {
        std::scoped_lock lock(client.OutputLock());
        const OutputBuffer& buffer = client.Output();
        QString text;
        const uint64_t first = std::max(view.TopLine(), buffer.LineBase());
        const uint64_t last = std::min(buffer.End(), view.TopLine() + uint64_t(view.CellRows()));
        for (uint64_t line = first; line < last; ++line) {
            if (line != first) text += '\n';
            text += QString::fromUtf8(buffer.Line(line)->Text());
        }
        return text;
    }
    // The last line of the buffer is in the view's last full row.
    bool ShowsEnd()
    {
        std::scoped_lock lock(client.OutputLock());
        const uint64_t end = client.Output().End();
        return end > 0 && view.TopLine() + uint64_t(view.FullRows()) == end;
    }
    QImage Render()
    {
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        return image;
    }
    // The colour at the middle of a cell, from a rendering of the view.
    QColor CellColor(const QImage& image, int row, int column, int dx = kCellWidth / 2,
                     int dy = kCellHeight / 2)
    {
        return image.pixelColor(column * kCellWidth + dx, row * kCellHeight + dy);
    }
    // The point of a cell's left half (a click there selects from that column).
    static QPoint CellPoint(int row, int column)
    {
        return QPoint(column * kCellWidth + 2, row * kCellHeight + kCellHeight / 2);
    }
    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, view.mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonPress, button, from);
        Mouse(QEvent::MouseMove, button, to);
        Mouse(QEvent::MouseButtonRelease, button, to);
    }
    // The row of the view that shows the buffer's last line.
    int LastRow()
    {
        std::scoped_lock lock(client.OutputLock());
        return int(client.Output().End() - 1 - view.TopLine());
    }

    RecordingHost host;
    ClientWindow client{host, AllModules()};
    OutputView view;
};

}  // namespace zel::test
