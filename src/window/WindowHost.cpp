#include "window/WindowHost.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <future>

#include "engine/ClientWindow.h"
#include "window/HistoryList.h"
#include "window/InputLineWidget.h"
#include "window/MainWindow.h"
#include "window/OutputView.h"

namespace zel {
namespace {

// No exception may reach the Qt event loop.
void Guarded(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "zel: unknown exception in the window\n");
    }
}

// A call waited for on another thread: the waiter is released when the call has run, or
// when the queued call is destroyed without running (the loop ended first).
class WaitedCall {
public:
    explicit WaitedCall(const std::function<void()>& call) : call_(call) {}
    ~WaitedCall()
    {
        if (!done_) promise_.set_value();
    }
    void Run()
    {
        Guarded(call_);
        done_ = true;
        promise_.set_value();
    }
    std::future<void> Done() { return promise_.get_future(); }

private:
    const std::function<void()>& call_;
    bool done_ = false;
    std::promise<void> promise_;
};

}  // namespace

WindowHost::WindowHost(std::unique_ptr<WindowDialogs> dialogs)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>())
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        desktop_ = DesktopSize{size.width(), size.height()};
    }
}

WindowHost::~WindowHost()
{
    Detach();
}

bool WindowHost::OnUiThread() const
{
    return QThread::currentThread() == thread();
}

void WindowHost::Attach(ClientWindow& client, MainWindow& window)
{
    client_ = &client;
    window_ = &window;
    attached_ = true;
    connect(&window.Input(), &QLineEdit::textChanged, this, [this] { Remember(); });
    Remember();
}

void WindowHost::Detach()
{
    attached_ = false;
    for (auto& [id, timer] : timers_) delete timer;
    timers_.clear();
    window_ = nullptr;
}

void WindowHost::Remember()
{
    if (!window_ || !client_) return;
    std::string input = window_->Controller().Line().EngineText();
    std::optional<WindowRect> rect;
    if (!window_->isMinimized()) {
        const QRect r = window_->isMaximized() || window_->isFullScreen()
                            ? window_->normalGeometry()
                            : window_->geometry();
        rect = WindowRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    }
    std::scoped_lock lock(seenMutex_);
    seenInput_ = std::move(input);
    seenRect_ = rect;
}

void WindowHost::Queue(std::function<void()> call)
{
    QMetaObject::invokeMethod(
        this, [call = std::move(call)] { Guarded(call); }, Qt::QueuedConnection);
}

void WindowHost::WithWindow(std::function<void(MainWindow&)> call)
{
    auto run = [this, call = std::move(call)] {
        if (attached_ && window_) call(*window_);
    };
    if (OnUiThread()) {
        Guarded(run);
    } else {
        Queue(std::move(run));
    }
}

// --- Status bar, layout, prompt line ---

void WindowHost::SetStatusText(int part, std::string_view text)
{
    QString shown = QString::fromUtf8(client_ ? client_->EngineToUtf8(text) : std::string(text));
    WithWindow([part, shown](MainWindow& window) { window.SetStatusText(part, shown); });
}

void WindowHost::LayoutChildren()
{
    WithWindow([](MainWindow& window) { window.LayoutChildren(); });
}

// Called under PromptLock: nothing here takes a lock of the client.
void WindowHost::SetPromptLine(std::string_view text, bool shown)
{
    QString line = QString::fromUtf8(client_ ? client_->EngineToUtf8(text) : std::string(text));
    WithWindow([line, shown](MainWindow& window) { window.SetPromptLine(line, shown); });
}

// --- Timers ---

void WindowHost::StartWindowTimer(int id, int milliseconds)
{
    TimerCall(id, std::max(milliseconds, 0));
}

void WindowHost::StopWindowTimer(int id)
{
    TimerCall(id, -1);
}

// Always queued, from the user-interface thread too, so that starts and stops take effect
// in the order they were asked for whatever thread asked.
void WindowHost::TimerCall(int id, int milliseconds)
{
    Queue([this, id, milliseconds] {
        if (!attached_) return;
        auto it = timers_.find(id);
        if (milliseconds < 0) {
            if (it != timers_.end()) it->second->stop();
            return;
        }
        if (it == timers_.end()) {
            auto* timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, id] {
                if (!attached_ || !client_) return;
                Guarded([&] {
                    client_->OnWindowTimer(id);
                    if (id == 1 && window_) window_->RefreshScrollPosition();
                });
            });
            it = timers_.emplace(id, timer).first;
        }
        it->second->start(milliseconds);
    });
}

bool WindowHost::TimerActive(int id) const
{
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

int WindowHost::TimerInterval(int id) const
{
    auto it = timers_.find(id);
    return it != timers_.end() ? it->second->interval() : -1;
}

// --- Signals to the user ---

void WindowHost::Beep(uint32_t)
{
    Queue([] { QApplication::beep(); });
}

void WindowHost::FlashCaption(bool on)
{
    WithWindow([on](MainWindow& window) {
        if (on) QApplication::alert(&window);
    });
}

void WindowHost::RequestClose()
{
    // Queued even on the user-interface thread: the command that asks is still running.
    Queue([this] {
        if (attached_ && window_) window_->close();
    });
}

// --- Questions ---

QuitChoice WindowHost::AskSaveSettings(std::string& fileName)
{
    if (!OnUiThread()) return QuitChoice::DontQuit;
    return dialogs_->AskSaveSettings(window_, fileName);
}

bool WindowHost::AskQuit()
{
    return OnUiThread() && dialogs_->AskQuit(window_);
}

std::optional<DesktopSize> WindowHost::GetDesktopSize()
{
    return desktop_;
}

std::optional<WindowRect> WindowHost::GetWindowRect()
{
    if (OnUiThread()) Remember();
    std::scoped_lock lock(seenMutex_);
    return seenRect_;
}

std::optional<std::string> WindowHost::AskOpenFileName(std::string_view filter,
                                                       std::string_view defaultExtension)
{
    if (!OnUiThread()) return std::nullopt;
    return dialogs_->AskOpenFileName(window_, filter, defaultExtension);
}

std::optional<StartFailure> WindowHost::ShowFile(const std::string& fileName, bool editable)
{
    ProgramWords words = editable ? TextEditor() : TextViewer();
    words.push_back(FileArgument(fileName));
    return StartDetached(words);
}

// --- Input line and history ---

std::string WindowHost::InputText()
{
    if (OnUiThread() && window_) return window_->Controller().Line().EngineText();
    std::scoped_lock lock(seenMutex_);
    return seenInput_;
}

void WindowHost::SetInputText(std::string_view text)
{
    WithWindow([text = std::string(text)](MainWindow& window) {
        window.Controller().Line().SetEngineText(text);
    });
}

void WindowHost::InsertInputText(std::string_view text)
{
    WithWindow([text = std::string(text)](MainWindow& window) {
        window.Controller().Line().InsertEngineText(text);
    });
}

void WindowHost::SetInputPasswordMode(bool on)
{
    WithWindow([on](MainWindow& window) { window.SetPasswordMode(on); });
}

void WindowHost::HistoryAdded(std::string_view line)
{
    WithWindow(
        [line = std::string(line)](MainWindow& window) { window.Controller().HistoryAdded(line); });
}

void WindowHost::ClearHistorySelection()
{
    WithWindow([](MainWindow& window) { window.History().ShowCursor(); });
}

void WindowHost::ShowTip(std::string_view text)
{
    QString shown = QString::fromUtf8(client_ ? client_->EngineToUtf8(text) : std::string(text));
    WithWindow([shown](MainWindow& window) { window.ShowTextTip(shown); });
}

void WindowHost::HideTip()
{
    WithWindow([](MainWindow& window) { window.HideTextTip(); });
}

// --- Output views ---

void WindowHost::SetOutputFont(std::string_view face, int height, int width, int weight)
{
    QString name = QString::fromUtf8(client_ ? client_->EngineToUtf8(face) : std::string(face));
    WithWindow([=](MainWindow& window) {
        window.ForEachView([&](OutputView& view) { view.SetFont(name, height, width, weight); });
        window.LayoutChildren();
    });
}

void WindowHost::SetOutputCellSize(int height, int width)
{
    WithWindow([=](MainWindow& window) {
        window.ForEachView([&](OutputView& view) { view.SetCellSize(height, width); });
        window.LayoutChildren();
    });
}

void WindowHost::SetOutputColors(uint32_t backColor, uint32_t textColor)
{
    WithWindow([=](MainWindow& window) {
        window.ForEachView([&](OutputView& view) { view.SetColors(backColor, textColor); });
    });
}

void WindowHost::RepaintOutput()
{
    WithWindow(
        [](MainWindow& window) { window.ForEachView([](OutputView& view) { view.Repaint(); }); });
}

void WindowHost::PerformUiAction(int action)
{
    WithWindow([action](MainWindow& window) { window.PerformUiAction(action); });
}

// --- Running on the user-interface thread ---

// The one call that waits. A caller holding OutputLock while the user-interface thread
// waits for that lock would wait forever, which is why every call above queues instead.
void WindowHost::RunOnUiThread(const std::function<void()>& call)
{
    if (OnUiThread() || !attached_) {
        Guarded(call);
        return;
    }
    auto waited = std::make_shared<WaitedCall>(call);
    std::future<void> done = waited->Done();
    QMetaObject::invokeMethod(
        this, [waited] { waited->Run(); }, Qt::QueuedConnection);
    waited.reset();
    done.wait();
}

void WindowHost::PostToUiThread(std::function<void()> call)
{
    if (OnUiThread()) {
        Guarded(call);
        return;
    }
    Queue(std::move(call));
}

}  // namespace zel
