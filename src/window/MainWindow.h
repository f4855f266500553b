// MainWindow: the client's one top-level window. Its client area holds, from the top, the
// output window (with the scroll-back window above or beside it), the prompt line, the
// history list, the input line, the toolbar and the status bar, placed in pixels by
// WindowLayout from the options. It owns the InputController of its input line and is its
// InputView; the host's user-interface calls end here. User-interface thread only.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <string_view>

#include "lineedit/InputController.h"
#include "window/WindowLayout.h"

class QLineEdit;
class QTimer;

namespace zel {

class ButtonBar;
class ClientWindow;
class HistoryList;
class InputLineWidget;
class OutputView;
class StatusBar;
class TipWindow;

class MainWindow : public QMainWindow, public InputView {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "ZEL Alpha Build 10.4";

    explicit MainWindow(ClientWindow& client, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: placed at the saved rectangle and shown, then the greeting, the banner and
    // the program's command line, the status bar's timer and the history file at
    // `historyPath`.
    void Start(std::string_view commandLine, const std::string& historyPath = kHistoryFileName);

    // Places the children for the client area as it now is, tells the client the output
    // window's size in cells and moves the tip along.
    void LayoutChildren();
    // The layout's inputs as they now are.
    LayoutInput CurrentLayoutInput() const;
    const ChildRects& Layout() const { return rects_; }

    // The host's calls.
    void SetStatusText(int part, const QString& text);
    void SetPromptLine(const QString& text, bool shown);
    void SetPasswordMode(bool on);
    void ShowTextTip(const QString& text);
    void HideTextTip();
    void PerformUiAction(int action);
    // Timer 1 has fired: the scroll-back position in status part 4.
    void RefreshScrollPosition();
    // Both views.
    void ForEachView(const std::function<void(OutputView&)>& call);

    bool ScrollBackShown() const { return ShownScrollPosition(CurrentLayoutInput()) != 0; }
    bool Fullscreen() const { return fullscreen_; }

    ClientWindow& Client() { return client_; }
    InputController& Controller() { return *controller_; }
    InputLineWidget& Input() { return *input_; }
    HistoryList& History() { return *history_; }
    StatusBar& Status() { return *status_; }
    ButtonBar& Buttons() { return *buttons_; }
    TipWindow& Tip() { return *tip_; }
    QLineEdit& Prompt() { return *prompt_; }
    OutputView& Output() { return *output_; }
    OutputView& ScrollBack() { return *scrollBack_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // --- InputView (the input controller's calls) ---
    void ShowTip(const SyntaxTip& tip) override;
    void HideTip() override;
    void ScheduleTipRefresh(int milliseconds) override;
    void HistoryChanged() override;
    void HistoryCursorMoved() override;
    void HistoryActiveChanged(bool active) override;
    int HistoryPageSize() override;

private:
    void BuildChildren();
    void SetUpAccessibility();
    void PlaceTip();
    void ToggleFullscreen();
    void SetScrollBack(bool on, int position);
    void ShowSetupPage(int action);
    bool WindowKey(KeyCode code);
    OutputView& ActiveView();
    void ShowAbout();

    ClientWindow& client_;
    QWidget* area_ = nullptr;  // the client area
    OutputView* output_ = nullptr;
    OutputView* scrollBack_ = nullptr;
    QLineEdit* prompt_ = nullptr;
    HistoryList* history_ = nullptr;
    InputLineWidget* input_ = nullptr;
    ButtonBar* buttons_ = nullptr;
    StatusBar* status_ = nullptr;
    TipWindow* tip_ = nullptr;
    QTimer* tipTimer_ = nullptr;
    std::unique_ptr<InputController> controller_;

    ChildRects rects_;
    bool promptShown_ = false;
    bool scrollBackOn_ = false;
    bool historyShown_ = true;
    bool fullscreen_ = false;
    bool wasMaximized_ = false;
    bool quitting_ = false;
    QString lastCopied_;  // the text last copied from the output, for OUTPUT_COPY
};

}  // namespace zel
