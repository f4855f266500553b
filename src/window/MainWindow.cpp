#include "window/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindowStateChangeEvent>
#include <atomic>
#include <mutex>

#include "engine/ClientWindow.h"
#include "input/InternalActions.h"
#include "window/ButtonBar.h"
#include "window/HistoryList.h"
#include "window/InputLineWidget.h"
#include "window/OutputView.h"
#include "window/StatusBar.h"
#include "window/TipWindow.h"
#include "window/WindowStyle.h"

namespace zel {
namespace {

using A = InternalAction;

constexpr int kStatusHeight = 18;
constexpr int kDefaultWidth = 960;
constexpr int kDefaultHeight = 640;
constexpr int kTop = int(ScrollPosition::Top);
constexpr int kLeft = int(ScrollPosition::Left);
constexpr int kRight = int(ScrollPosition::Right);

// Options may be written by the thread that runs an action's commands.
int32_t Read(int32_t& field)
{
    return std::atomic_ref<int32_t>(field).load(std::memory_order_relaxed);
}

// The listing command that stands in for each page of the setup dialog, which this window
// does not have: the page's table is listed in the output.
constexpr const char* kPageCommands[] = {"alias",  "bind list", "complete", "syntax",
                                         "action", "timer",     "variable", "script"};

}  // namespace

MainWindow::MainWindow(ClientWindow& client, QWidget* parent) : QMainWindow(parent), client_(client)
{
    setWindowTitle(kTitle);
    setAccessibleName(kTitle);
    BuildChildren();
    controller_ = std::make_unique<InputController>(client_, *input_, *this);
    input_->SetController(controller_.get());
    input_->SetWindowKeyHandler([this](KeyCode code) { return WindowKey(code); });
    SetUpAccessibility();
    resize(kDefaultWidth, kDefaultHeight);
}

MainWindow::~MainWindow()
{
    input_->SetController(nullptr);
}

void MainWindow::BuildChildren()
{
    area_ = new QWidget(this);
    area_->setObjectName("clientArea");
    area_->setAutoFillBackground(true);  // the face colour shows in the seams
    area_->installEventFilter(this);
    setCentralWidget(area_);

    output_ = new OutputView(client_, OutputView::Role::Output, area_);
    scrollBack_ = new OutputView(client_, OutputView::Role::ScrollBack, area_);
    scrollBack_->hide();
    ForEachView([&](OutputView& view) {
        view.ApplyStyle(client_.Formats().view);
        connect(&view, &OutputView::SelectionCopied, this,
                [this](const QString& text, bool forInput) {
                    lastCopied_ = text;
                    if (forInput) client_.PerformInternalAction(int(A::OutputCopy));
                });
    });
    connect(output_, &OutputView::CellSizeChanged, this,
            [this](int columns, int rows) { client_.SetViewSize(columns, rows); });

    prompt_ = new QLineEdit(area_);
    prompt_->setObjectName("promptLine");
    prompt_->setReadOnly(true);
    prompt_->setFrame(false);
    prompt_->setStyleSheet(
        "QLineEdit { border: 1px solid; border-color: #1c1c1c #7a7a7a #7a7a7a #1c1c1c;"
        " padding: 0px; background: rgb(64, 64, 64); color: white; }");
    prompt_->hide();

    history_ = new HistoryList(client_, area_);
    connect(history_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        client_.History().SetCursor(size_t(history_->row(item)));
        client_.PerformInternalAction(int(A::HistRun));
    });

    input_ = new InputLineWidget(area_);

    buttons_ = new ButtonBar(area_);
    connect(buttons_, &ButtonBar::ActionTriggered, this, [this](int action) {
        client_.PerformInternalAction(action);
        input_->setFocus();
    });

    status_ = new StatusBar(area_);
    auto* about = new QAction("&About ZEL...", this);
    connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);
    for (QWidget* widget : {static_cast<QWidget*>(buttons_), static_cast<QWidget*>(status_)}) {
        widget->addAction(about);
        widget->setContextMenuPolicy(Qt::ActionsContextMenu);
    }

    tip_ = new TipWindow(this);
    tipTimer_ = new QTimer(this);
    tipTimer_->setSingleShot(true);
    connect(tipTimer_, &QTimer::timeout, this, [this] { controller_->RefreshTip(); });
}

void MainWindow::SetUpAccessibility()
{
    prompt_->setAccessibleName("Prompt line");
    // Keyboard order: the input line first, then the history, the output, the prompt and
    // the toolbar's buttons.
    QWidget* previous = input_;
    for (QWidget* next : {static_cast<QWidget*>(history_), static_cast<QWidget*>(output_),
                          static_cast<QWidget*>(scrollBack_), static_cast<QWidget*>(prompt_)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (int i = 0; i < ButtonBar::kButtons; ++i) {
        setTabOrder(previous, buttons_->Button(i));
        previous = buttons_->Button(i);
    }
}

void MainWindow::ForEachView(const std::function<void(OutputView&)>& call)
{
    call(*output_);
    call(*scrollBack_);
}

void MainWindow::Start(std::string_view commandLine, const std::string& historyPath)
{
    const WindowRect& r = client_.WindowRectangle();
    if (r.right > r.left && r.bottom > r.top)
        setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    show();
    input_->setFocus();
    client_.Start(commandLine);
    controller_->OpenHistoryFile(historyPath);
    LayoutChildren();
}

// --- Layout ---

LayoutInput MainWindow::CurrentLayoutInput() const
{
    Options& options = client_.GetOptions();
    LayoutInput in;
    in.width = area_->width();
    in.height = area_->height();
    in.statusHeight = kStatusHeight;
    in.toolbarHeight = fullscreen_ ? 0 : buttons_->BarHeight();
    in.lineHeight = QFontMetrics(history_->font()).size(0, QString::fromUtf8("Åy")).height();
    int rows = 0;
    if (historyShown_)
        rows = controller_ && controller_->HistoryActive() ? Read(options.historyActive)
                                                           : Read(options.historyWindow);
    in.historyHeight = std::max(rows, 0) * history_->ItemHeight();
    in.promptShown = promptShown_;
    in.scrollPos = Read(options.scrollPos);
    in.scrollHeight = Read(options.scrollHeight);
    in.scrollWidth = Read(options.scrollWidth);
    in.scrollBackOn = scrollBackOn_;
    return in;
}

void MainWindow::LayoutChildren()
{
    const LayoutInput in = CurrentLayoutInput();
    rects_ = ComputeLayout(in);
    output_->setGeometry(rects_.output);
    scrollBack_->setGeometry(rects_.scrollBack);
    scrollBack_->setVisible(!rects_.scrollBack.isEmpty());
    prompt_->setFont(PromptFont(in.lineHeight));
    prompt_->setGeometry(rects_.prompt);
    prompt_->setVisible(in.promptShown);
    history_->setGeometry(rects_.history);
    history_->setVisible(in.historyHeight > 0);
    input_->setGeometry(rects_.input);
    buttons_->setGeometry(rects_.toolbar);
    buttons_->SetButtonWidth(rects_.buttonWidth);
    buttons_->setVisible(in.toolbarHeight > 0);
    status_->setGeometry(rects_.statusBar);
    history_->ShowCursor();

    // The size in whole cells, for the window-size subnegotiation.
    const QSize cell = output_->CellSize();
    if (cell.width() > 0 && cell.height() > 0)
        client_.SetViewSize(std::max(1, rects_.output.width() / cell.width()),
                            std::max(1, rects_.output.height() / cell.height()));
    client_.ChildrenLaidOut();
    if (tip_->isVisible()) PlaceTip();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_ && event->type() == QEvent::Resize) LayoutChildren();
    return QMainWindow::eventFilter(watched, event);
}

// --- Host calls ---

void MainWindow::SetStatusText(int part, const QString& text)
{
    status_->SetPart(part, text);
}

void MainWindow::SetPromptLine(const QString& text, bool shown)
{
    prompt_->setText(text);
    prompt_->setCursorPosition(0);
    if (shown == promptShown_) return;
    promptShown_ = shown;
    LayoutChildren();
}

void MainWindow::SetPasswordMode(bool on)
{
    input_->SetPasswordMode(on);
}

void MainWindow::RefreshScrollPosition()
{
    uint64_t base = 0, count = 0;
    {
        std::scoped_lock lock(client_.OutputLock());
        base = client_.Output().LineBase();
        count = client_.Output().LineCount();
    }
    const uint64_t top = scrollBack_->TopLine();
    status_->SetPart(4, QString("@ %1/%2").arg(top > base ? top - base : 0).arg(count));
}

void MainWindow::PerformUiAction(int action)
{
    if (controller_->PerformUiAction(action)) return;
    const int setupPage = action - int(A::SetupAliases);
    const int newItem = action - int(A::SetupNewAlias);
    switch (A(action)) {
        case A::ScrollLineUp:
        case A::ScrollLineDown:
        case A::ScrollPageUp:
        case A::ScrollPageDown:
        case A::ScrollToTop:
        case A::ScrollToBottom:
        case A::ScrollColumnsLeft:
        case A::ScrollColumnsRight:
            ActiveView().PerformScrollAction(action);
            break;
        case A::ScrollOn:
            SetScrollBack(true, Read(client_.GetOptions().scrollPos));
            break;
        case A::ScrollOff:
            SetScrollBack(false, Read(client_.GetOptions().scrollPos));
            break;
        case A::ScrollToggle: {
            // Hidden → top → left → right → hidden.
            const int pos = Read(client_.GetOptions().scrollPos);
            if (!ScrollBackShown()) {
                SetScrollBack(true, kTop);
            } else if (pos == kTop || pos == kLeft) {
                SetScrollBack(true, pos + 1);
            } else {
                SetScrollBack(false, pos);
            }
            client_.SetOutputSuspended(false);
            break;
        }
        case A::HistOn:
        case A::HistOff:
        case A::HistToggle:
            historyShown_ = A(action) == A::HistOn    ? true
                            : A(action) == A::HistOff ? false
                                                      : !historyShown_;
            LayoutChildren();
            break;
        case A::OutputCopy:
            if (!lastCopied_.isEmpty()) {
                controller_->Line().Edit().ReplaceSelection(lastCopied_.toStdString());
                controller_->Line().SetChanged(true);
            }
            input_->setFocus();
            break;
        case A::Escape:
            HideTip();
            break;
        case A::Fullscreen:
            ToggleFullscreen();
            break;
        default:
            if ((setupPage >= 0 && setupPage <= int(A::SetupSetup) - int(A::SetupAliases)) ||
                (newItem >= 0 && newItem < int(std::size(kPageCommands))))
                ShowSetupPage(action);
            break;
    }
}

void MainWindow::SetScrollBack(bool on, int position)
{
    if (position != kTop && position != kLeft && position != kRight) position = kTop;
    Options& options = client_.GetOptions();
    if (Read(options.scrollPos) != position) {
        std::atomic_ref<int32_t>(options.scrollPos).store(position, std::memory_order_relaxed);
        client_.MarkSettingsChanged();
    }
    const bool wasShown = ScrollBackShown();
    scrollBackOn_ = on;
    LayoutChildren();
    if (on && !wasShown) scrollBack_->FollowEnd();
}

// The setup dialog's pages list their table instead; the new-item pages show how to add.
void MainWindow::ShowSetupPage(int action)
{
    const std::string command(1, client_.Chars().command);
    if (action == int(A::SetupSetup)) {
        client_.ExecuteLine(command + "help", false, false);
    } else if (action >= int(A::SetupNewAlias)) {
        std::string word = kPageCommands[action - int(A::SetupNewAlias)];
        word = word.substr(0, word.find(' '));
        client_.ExecuteLine(command + "help " + word, false, false);
    } else {
        client_.ExecuteLine(command + kPageCommands[action - int(A::SetupAliases)], false, false);
    }
}

OutputView& MainWindow::ActiveView()
{
    return ScrollBackShown() ? *scrollBack_ : *output_;
}

void MainWindow::ToggleFullscreen()
{
    fullscreen_ = !fullscreen_;
    if (fullscreen_) {
        wasMaximized_ = isMaximized();
        showFullScreen();
    } else if (wasMaximized_) {
        showMaximized();
    } else {
        showNormal();
    }
    LayoutChildren();
}

// Keys the window takes before the input line's bindings, only while they are unbound:
// Ctrl+F finds in the output, F6 and Shift+F6 move the focus on among the children.
bool MainWindow::WindowKey(KeyCode code)
{
    const bool find = code == (key::kControl | 'F');
    const bool nextPane = code == key::Function(6) || code == (key::kShift | key::Function(6));
    if (!find && !nextPane) return false;
    {
        std::scoped_lock lock(client_.DefinitionLock());
        if (client_.Bindings().Find(code)) return false;
    }
    if (find) {
        ActiveView().StartFind();
    } else {
        focusNextPrevChild(!(code & key::kShift));
    }
    return true;
}

void MainWindow::ShowAbout()
{
    QMessageBox::about(this, "About ZEL", kTitle);
}

// --- Tip ---

void MainWindow::ShowTip(const SyntaxTip& tip)
{
    tip_->SetTip(tip);
    PlaceTip();
    tip_->show();
    input_->setAccessibleDescription(tip_->PlainText());
}

void MainWindow::HideTip()
{
    tipTimer_->stop();
    tip_->hide();
    input_->setAccessibleDescription(QString());
}

void MainWindow::ShowTextTip(const QString& text)
{
    SyntaxTip tip;
    tip.syntax = text.toStdString();
    tip.commandStart = 0;
    ShowTip(tip);
}

void MainWindow::HideTextTip()
{
    HideTip();
}

void MainWindow::ScheduleTipRefresh(int milliseconds)
{
    tipTimer_->start(milliseconds);
}

void MainWindow::PlaceTip()
{
    const QPoint below = input_->mapToGlobal(
        QPoint(input_->XOfByte(tip_->Tip().commandStart) - 2, input_->height()));
    const QRect workArea = screen() ? screen()->availableGeometry() : QRect();
    const QRect clientArea(area_->mapToGlobal(QPoint(0, 0)), area_->size());
    tip_->move(zel::PlaceTip(tip_->size(), below, workArea, frameGeometry(), clientArea));
}

// --- History ---

void MainWindow::HistoryChanged()
{
    history_->Reload();
}

void MainWindow::HistoryCursorMoved()
{
    history_->ShowCursor();
}

void MainWindow::HistoryActiveChanged(bool)
{
    LayoutChildren();
}

int MainWindow::HistoryPageSize()
{
    return history_->VisibleRows();
}

// --- Window events ---

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (quitting_) {
        event->accept();
        return;
    }
    if (!client_.HandleCloseRequest()) {
        event->ignore();
        return;
    }
    quitting_ = true;
    HideTip();
    event->accept();
}

// Keys the output views leave (typing while they have the focus) belong to the input line.
void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (focusWidget() == input_ || !input_->isEnabled()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    input_->setFocus();
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), ushort(event->count()));
    QApplication::sendEvent(input_, &copy);
    event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized()) HideTip();
    QMainWindow::changeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (tip_->isVisible()) PlaceTip();
}

}  // namespace zel
