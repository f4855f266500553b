// Output view figures, printed as a table: a loopback server floods a real client over TCP
// with the coloured MUD stream, once headless and once with an output view shown on the
// offscreen platform, and the view's cost is read off the difference.
//   received MB/s        headless and with the view (goal: the view keeps at least 80%)
//   longest UI stall     the longest gap between two ticks of a 1 ms timer on the
//                        user-interface thread while the flood is drawn (goal < 16 ms)
//   lines painted/s      rows the view drew per second while following the end
//   full repaint         a 200 x 60 cell view rendered into an image (goal < 4 ms)
//   peak RSS             with 100,000 lines of scroll-back held and drawn
// Run with QT_QPA_PLATFORM=offscreen (set here when unset). Argument: megabytes per run
// (default 64).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPaintEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "demo/LoopbackServer.h"
#include "demo/MudStream.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "window/OutputView.h"

namespace zel {
namespace {

constexpr char kEndMarker[] = "END OF BENCH";
constexpr size_t kSendChunk = 64 * 1024;
constexpr int kViewColumns = 200, kViewRows = 60;
constexpr int kCellWidth = 8, kCellHeight = 16;

// VmHWM or VmRSS of this process, in kilobytes.
long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// Sets a flag when the marker line ends (on the network thread).
class MarkerWatch : public OutputBuffer::Listener {
public:
    void LineEnded(uint64_t, const OutputLine& line) override
    {
        if (line.Text() == kEndMarker) seen = true;
    }
    std::atomic<bool> seen{false};
};

// Counts the rows the view draws.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(int rowHeight) : rowHeight_(rowHeight) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRect area = static_cast<QPaintEvent*>(event)->rect();
            rows += (area.bottom() / rowHeight_) - (area.top() / rowHeight_) + 1;
        }
        return false;
    }
    long rows = 0;

private:
    int rowHeight_;
};

void ShowView(OutputView& view)
{
    view.SetCellSize(kCellHeight, kCellWidth);
    view.resize(kViewColumns * kCellWidth, kViewRows * kCellHeight);
    view.show();
}

struct FloodResult {
    double megabytesPerSecond = 0;
    double longestStallMs = 0;
    double linesPaintedPerSecond = 0;
};

// Sends `stream` through a loopback socket into a fresh client, with or without a view, and
// runs the user-interface loop until the marker line has arrived.
FloodResult Flood(const std::string& stream, bool withView)
{
    NullHost host;
    ClientWindow client(host, AllModules());
    MarkerWatch watch;
    {
        std::scoped_lock lock(client.OutputLock());
        client.Output().AddListener(&watch);
    }
    std::unique_ptr<OutputView> view;
    PaintCounter counter(kCellHeight);
    if (withView) {
        view = std::make_unique<OutputView>(client, OutputView::Role::Output);
        ShowView(*view);
        view->installEventFilter(&counter);
        QCoreApplication::processEvents();
    }

    demo::LoopbackServer server;
    client.OpenConnection("127.0.0.1", server.Port());
    if (!server.Accept()) {
        std::fprintf(stderr, "no connection\n");
        std::exit(1);
    }
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] {
        for (size_t at = 0; at < stream.size(); at += kSendChunk)
            server.Send(std::string_view(stream).substr(at, kSendChunk));
        server.Send(std::string("\r\n") + kEndMarker + "\r\n");
    });

    // The heartbeat: the longest gap between ticks is the longest time the loop was away.
    QElapsedTimer beat;
    beat.start();
    qint64 lastBeat = 0, longest = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beat.nsecsElapsed();
        longest = std::max(longest, now - lastBeat);
        lastBeat = now;
    });
    heartbeat.start(1);
    lastBeat = beat.nsecsElapsed();
    while (!watch.seen) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = clock.nsecsElapsed() / 1e9;
    // The last frame too, so every line counts as painted.
    if (view)
        while (!view->UpToDate()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    heartbeat.stop();
    sender.join();
    client.CloseConnection();
    {
        std::scoped_lock lock(client.OutputLock());
        client.Output().RemoveListener(&watch);
    }

    FloodResult result;
    result.megabytesPerSecond = stream.size() / 1e6 / seconds;
    result.longestStallMs = longest / 1e6;
    result.linesPaintedPerSecond = counter.rows / seconds;
    return result;
}

// 200 x 60 cells of coloured text, drawn again and again into an image.
void FullRepaint()
{
    NullHost host;
    ClientWindow client(host, AllModules());
    OutputView view(client, OutputView::Role::Output);
    ShowView(view);
    for (int line = 0; line < 2 * kViewRows; ++line) {
        std::string text;
        for (int run = 0; run < 8; ++run) {
            text += "\x1b[" + std::to_string(run % 2) + ";3" +
                    std::to_string(1 + (line + run) % 7) + "m";
            for (int c = 0; c < kViewColumns / 8; ++c) text += char('a' + (line + run + c) % 26);
        }
        client.PrintReceived(text + "\r\n");
    }
    while (!view.UpToDate()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);  // fonts into the cache
    constexpr int kRounds = 200;
    qint64 total = 0, worst = 0;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer once;
        once.start();
        view.render(&image);
        const qint64 spent = once.nsecsElapsed();
        total += spent;
        worst = std::max(worst, spent);
    }
    std::printf("full repaint %dx%d cells      %8.3f ms mean, %.3f ms worst (goal < 4 ms)\n",
                kViewColumns, kViewRows, total / 1e6 / kRounds, worst / 1e6);
}

void FullScrollBack()
{
    const long before = StatusKilobytes("VmRSS:");
    NullHost host;
    ClientWindow client(host, AllModules());
    client.ExecuteLine("||option scrollsize 100000", false, false);
    OutputView view(client, OutputView::Role::Output);
    ShowView(view);
    demo::MudStream stream(7);
    size_t lines = 0;
    while (true) {
        {
            std::scoped_lock lock(client.OutputLock());
            lines = client.Output().LineCount();
        }
        if (lines >= 100000) break;
        client.PrintReceived(stream.Next(1 << 16));
    }
    while (!view.UpToDate()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    view.ScrollToTop();
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    view.ScrollToBottom();
    view.render(&image);
    size_t bufferBytes = 0;
    {
        std::scoped_lock lock(client.OutputLock());
        bufferBytes = client.Output().MemoryUsage();
    }
    std::printf(
        "100,000-line scroll-back        peak RSS %ld MB (%ld MB before the client), "
        "buffer %.1f MB\n",
        StatusKilobytes("VmHWM:") / 1024, before / 1024, bufferBytes / 1048576.0);
}

}  // namespace
}  // namespace zel

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const size_t megabytes = argc > 1 ? size_t(std::atol(argv[1])) : 64;

    zel::FullScrollBack();  // first: the peak is the process's so far
    zel::FullRepaint();
    const std::string stream = zel::demo::GenerateMudStream(megabytes << 20);
    const zel::FloodResult headless = zel::Flood(stream, false);
    const zel::FloodResult shown = zel::Flood(stream, true);
    std::printf("received, headless              %8.1f MB/s (longest UI stall %.1f ms)\n",
                headless.megabytesPerSecond, headless.longestStallMs);
    std::printf("received, view following        %8.1f MB/s = %.0f%% of headless (goal >= 80%%)\n",
                shown.megabytesPerSecond,
                100 * shown.megabytesPerSecond / headless.megabytesPerSecond);
    std::printf("longest UI stall with the view  %8.1f ms (goal < 16 ms)\n", shown.longestStallMs);
    std::printf("lines painted while following   %8.0f per second\n", shown.linesPaintedPerSecond);
    return 0;
}
