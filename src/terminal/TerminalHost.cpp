#include "terminal/TerminalHost.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "base/TextCodec.h"
#include "base/Utf8.h"
#include "console/HostQuestions.h"
#include "engine/ClientWindow.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using A = InternalAction;

constexpr char kQuitHint[] = "Press Ctrl-C again to quit";
constexpr char kScrolledMark[] = " SCROLLED BACK: PgDn, or any key for the end ";
// The input line's own one-shot tip timer; the core's ids are 1 and up.
constexpr int kTipTimer = -1;
constexpr int kHistoryPage = 10;
constexpr auto kFrameTime = std::chrono::microseconds(1000000 / TerminalHost::kFrameRate);
constexpr TextStyle kPlain{};
constexpr TextStyle kBar{style::kInverse};
constexpr TextStyle kTipStyle{style::kInverse | style::kBold};

void CopyLine(const OutputBuffer& buffer, const OutputLine& line, const OutputViewStyle& view,
              StyledText& copy)
{
    const std::string_view text = line.Text();
    copy.text.assign(text);
    copy.runs.clear();
    for (const TextRun& run : line.Runs())
        copy.runs.push_back({std::min<uint32_t>(run.end, uint32_t(text.size())),
                             StyleOf(buffer.Format(run.format), view)});
    if (copy.runs.empty() || copy.runs.back().end < text.size())
        copy.runs.push_back({uint32_t(text.size()), kPlain});
}

bool IsScrollKey(KeyCode code)
{
    const KeyCode bare = code & key::kKeyMask;
    const bool scrolling = bare == key::kPageUp || bare == key::kPageDown;
    const bool controlScrolling =
        (code & key::kControl) &&
        (bare == key::kUp || bare == key::kDown || bare == key::kHome || bare == key::kEnd);
    return scrolling || controlScrolling;
}

}  // namespace

TerminalHost::TerminalHost(int inputFd, int outputFd)
    : inputFd_(inputFd), outputFd_(outputFd), signals_(outputFd), screen_(inputFd, outputFd)
{
    signals_.SetRestoreSequence(screen_.RestoreSequence());
    keys_ = termkey_new(inputFd, TERMKEY_FLAG_NOTERMIOS | TERMKEY_FLAG_UTF8 | TERMKEY_FLAG_CTRLC);
    if (!keys_) throw std::runtime_error("the terminal's keys cannot be read");
    termkey_set_canonflags(keys_, termkey_get_canonflags(keys_) | TERMKEY_CANON_DELBS);
}

TerminalHost::~TerminalHost()
{
    termkey_destroy(keys_);
}

int TerminalHost::Run(ClientWindow& client, std::string_view commandLine)
{
    client_ = &client;
    loop_.Begin();
    input_ = std::make_unique<InputController>(client, edit_, static_cast<InputView&>(*this));
    input_->OpenHistoryFile();
    {
        std::scoped_lock lock(client.OutputLock());
        client.Output().AddListener(this);
    }
    Relayout();
    client.Start(commandLine);

    while (!quit_) {
        if (closeRequested_) {
            closeRequested_ = false;
            if (client.HandleCloseRequest()) break;
        }
        if (changed_ && FrameTimeout() == 0) Draw();
        // A key sequence cut short (a lone Escape) is decided when the wait time passes.
        TermKeyKey pending;
        const bool partial = termkey_getkey(keys_, &pending) == TERMKEY_RES_AGAIN;
        int timeout = loop_.PollTimeout(changed_ ? FrameTimeout() : -1);
        if (partial) {
            const int wait = termkey_get_waittime(keys_);
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }
        pollfd fds[3] = {{loop_.WakeFd(), POLLIN, 0},
                         {termkey_get_fd(keys_), POLLIN, 0},
                         {signals_.Fd(), POLLIN, 0}};
        const int ready = poll(fds, 3, timeout);
        if (ready < 0 && errno != EINTR) break;
        if (fds[2].revents & POLLIN) HandleSignals();
        if (fds[0].revents & POLLIN) loop_.RunPosted();
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (!ReadKeys()) break;
        } else if (ready == 0 && partial &&
                   termkey_getkey_force(keys_, &pending) == TERMKEY_RES_KEY) {
            if (auto key = DecodeTerminalKey(pending)) HandleKey(*key);
        }
        RunDueTimers();
    }

    loop_.End();
    client.CloseConnection();
    loop_.RunPosted();
    std::scoped_lock lock(client.OutputLock());
    client.Output().RemoveListener(this);
    return 0;
}

bool TerminalHost::HandleSignals()
{
    for (int signal : signals_.Take()) {
        switch (signal) {
            case SIGWINCH:
                screen_.Resize();
                break;
            case SIGCONT:
                screen_.Resume();
                break;
            case SIGTSTP:
                Suspend();
                break;
            default:  // SIGINT, SIGTERM, SIGHUP
                quit_ = true;
                break;
        }
        MarkChanged();
    }
    return !quit_;
}

bool TerminalHost::ReadKeys()
{
    if (termkey_advisereadable(keys_) == TERMKEY_RES_ERROR && errno != EINTR && errno != EAGAIN)
        return false;
    TermKeyKey key;
    for (;;) {
        switch (termkey_getkey(keys_, &key)) {
            case TERMKEY_RES_KEY:
                if (auto decoded = DecodeTerminalKey(key)) HandleKey(*decoded);
                if (quit_) return false;
                continue;
            case TERMKEY_RES_EOF:
                return false;
            default:  // none, a partial sequence, or an error of the read
                return true;
        }
    }
}

void TerminalHost::HandleKey(const TerminalKey& key)
{
    const bool wasArmed = std::exchange(ctrlCArmed_, false);
    if (!IsScrollKey(key.code)) scrollBottom_.reset();
    if (key.code == (key::kControl | 'C') && KeepsDefault(key.code, int(A::ClipCopy))) {
        // Ctrl-C empties the line; on an empty line a second one quits.
        if (!edit_.Value().empty()) {
            input_->Line().SetEngineText("");
            ctrlCArmed_ = true;
        } else if (wasArmed) {
            closeRequested_ = true;
        } else {
            ctrlCArmed_ = true;
        }
    } else if (!TerminalConvention(key) && !input_->KeyPress(key.code)) {
        TypeKey(key);
    }
    InputEdited();
}

// Keys whose binding is still the default act as terminal users expect.
bool TerminalHost::TerminalConvention(const TerminalKey& key)
{
    switch (key.code) {
        case key::kControl | 'A':
            if (!KeepsDefault(key.code, int(A::SelectAll))) return false;
            edit_.MoveHome(false);
            return true;
        case key::kControl | 'E':
            if (!KeepsDefault(key.code, 0)) return false;
            edit_.MoveEnd(false);
            return true;
        case key::kControl | 'L':
            if (!KeepsDefault(key.code, 0)) return false;
            screen_.Resume();  // everything drawn again
            return true;
        case key::kControl | 'Z':
            if (!KeepsDefault(key.code, 0)) return false;
            Suspend();
            return true;
        case key::kPageUp:
        case key::kPageDown:
            if (!KeepsDefault(key.code,
                              int(key.code == key::kPageUp ? A::HistPageUp : A::HistPageDown)))
                return false;
            ScrollBy(key.code == key::kPageUp ? -PageRows() : PageRows());
            return true;
        default:
            return false;
    }
}

// True when `code` is unbound or bound to `defaultAction` (0: unbound only).
bool TerminalHost::KeepsDefault(KeyCode code, int defaultAction)
{
    std::scoped_lock lock(client_->DefinitionLock());
    const KeyBinding* binding = client_->Bindings().Find(code);
    return !binding || (defaultAction != 0 && binding->kind == BindingKind::Action &&
                        binding->action == defaultAction);
}

void TerminalHost::TypeKey(const TerminalKey& key)
{
    if (key.text != 0) {
        std::string text;
        AppendUtf8(text, key.text);
        edit_.ReplaceSelection(text);
        input_->Line().SetChanged(true);
    } else if (!edit_.EditKey(key.code)) {
        return;
    }
    input_->KeyReachedControl();
}

void TerminalHost::InputEdited()
{
    {
        std::scoped_lock lock(stateMutex_);
        inputMirror_ = input_->Line().EngineText();
    }
    MarkChanged();
}

void TerminalHost::Suspend()
{
    termkey_stop(keys_);
    screen_.Suspend();
    signals_.StopProcess();
    // Continued (`fg`): the terminal may have changed size meanwhile.
    screen_.Resume();
    screen_.Resize();
    termkey_start(keys_);
    MarkChanged();
}

void TerminalHost::RunDueTimers()
{
    const auto now = WindowTimerSchedule::Clock::now();
    while (!closeRequested_ && !quit_) {
        const std::optional<int> id = loop_.TakeDueTimer(now);
        if (!id) break;
        if (*id == kTipTimer) {
            loop_.StopTimer(kTipTimer);
            input_->RefreshTip();
        } else {
            client_->OnWindowTimer(*id);
        }
    }
}

int TerminalHost::FrameTimeout() const
{
    const auto left = lastFrame_ + kFrameTime - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void TerminalHost::MarkChanged()
{
    if (!changed_.exchange(true)) loop_.Wake();
}

// --- Drawing ---

void TerminalHost::Relayout()
{
    bool promptShown;
    {
        std::scoped_lock lock(stateMutex_);
        promptShown = promptShown_;
    }
    const ScreenLayout layout = LayOutScreen(screen_.Columns(), screen_.Rows(), promptShown);
    if (layout == layout_) return;
    const bool sizeChanged =
        layout.columns != layout_.columns || layout.outputRows != layout_.outputRows;
    layout_ = layout;
    if (!sizeChanged) return;
    client_->SetViewSize(layout.columns, layout.outputRows);
    client_->ChildrenLaidOut();
}

void TerminalHost::Draw()
{
    lastFrame_ = Clock::now();
    changed_ = false;
    Relayout();
    screen_.BeginFrame();
    CopyVisibleOutput(layout_.outputRows, layout_.columns);
    DrawOutput(layout_.outputRows, layout_.columns);

    std::string prompt, coreTip;
    {
        std::scoped_lock lock(stateMutex_);
        prompt = promptText_;
        coreTip = coreTip_;
    }
    if (layout_.tipRow >= 0) {
        std::string tip = question_.empty() && ctrlCArmed_ ? kQuitHint : question_;
        if (tip.empty() && syntaxTip_) {
            const std::string& syntax = syntaxTip_->syntax;
            tip =
                syntax.substr(0, syntax.find_first_of("\r\n")) + "  -  " + syntaxTip_->description;
        }
        if (tip.empty()) tip = client_->EngineToUtf8(coreTip);
        if (!tip.empty()) {
            const int used = screen_.DrawPlain(layout_.tipRow, 0, tip, kTipStyle);
            screen_.FillRow(layout_.tipRow, used, kTipStyle);
        }
    }
    if (layout_.promptRow >= 0) DrawStyledLine(layout_.promptRow, prompt, kPlain);
    const int cursor = layout_.inputRow >= 0 ? DrawInput(layout_.inputRow) : 0;
    if (layout_.statusRow >= 0) DrawStatus(layout_.statusRow);
    screen_.EndFrame(layout_.inputRow, cursor);
}

void TerminalHost::CopyVisibleOutput(int rows, int columns)
{
    rows_.clear();
    size_t used = 0;
    std::scoped_lock lock(client_->OutputLock());
    const OutputBuffer& out = client_->Output();
    if (rows <= 0 || out.LineCount() == 0) return;
    const OutputViewStyle& view = client_->Formats().view;
    uint64_t bottom = out.End() - 1;
    if (scrollBottom_) {
        if (*scrollBottom_ >= bottom)
            scrollBottom_.reset();
        else
            bottom = std::max(*scrollBottom_, out.LineBase());
    }
    for (uint64_t n = bottom + 1; n-- > out.LineBase() && rows_.size() < size_t(rows);) {
        const OutputLine* line = out.Line(n);
        if (!line) break;
        if (used == lines_.size()) lines_.emplace_back();
        StyledText& copy = lines_[used];
        CopyLine(out, *line, view, copy);
        const std::vector<uint32_t> starts = RowStarts(copy.text, columns);
        for (size_t r = starts.size(); r-- > 0 && rows_.size() < size_t(rows);) {
            const uint32_t end = r + 1 < starts.size() ? starts[r + 1] : uint32_t(copy.text.size());
            rows_.push_back({used, starts[r], end});
        }
        ++used;
    }
    std::reverse(rows_.begin(), rows_.end());
}

void TerminalHost::DrawOutput(int rows, int)
{
    // The newest rows sit at the bottom; a short output leaves the top empty.
    const int first = rows - int(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        screen_.DrawText(first + int(i), 0, lines_[rows_[i].line], rows_[i].begin, rows_[i].end);
}

// A line of engine text that may hold ANSI codes (the prompt): read through an output
// buffer of its own, so its colours show and its escape sequences never reach the terminal.
void TerminalHost::DrawStyledLine(int row, const std::string& engineText, TextStyle base)
{
    OutputBuffer buffer;
    buffer.Append(client_->EngineToUtf8(engineText));
    const OutputLine* line = buffer.Line(buffer.End() - 1);
    if (!line) return;
    StyledText copy;
    CopyLine(buffer, *line, client_->Formats().view, copy);
    for (auto& run : copy.runs) run.style.effects |= base.effects;
    const int used = screen_.DrawText(row, 0, copy, 0, uint32_t(copy.text.size()));
    screen_.FillRow(row, used, base);
}

void TerminalHost::DrawStatus(int row)
{
    std::string text;
    {
        std::scoped_lock lock(stateMutex_);
        for (const std::string& part : status_) {
            if (part.empty()) continue;
            text += text.empty() ? " " : "  |  ";
            text += client_->EngineToUtf8(part);
        }
    }
    int used = screen_.DrawPlain(row, 0, text, kBar);
    if (scrollBottom_) {
        const int mark = int(CellCount(kScrolledMark));
        const int at = std::max(used + 1, layout_.columns - mark);
        screen_.FillRow(row, used, kBar);
        used = at + screen_.DrawPlain(row, at, kScrolledMark, kTipStyle);
    }
    screen_.FillRow(row, used, kBar);
}

int TerminalHost::DrawInput(int row)
{
    const std::string& value = edit_.Value();
    size_t caret = edit_.Caret(), start = edit_.SelectionStart(), end = edit_.SelectionEnd();
    std::string shown;
    if (passwordMode_) {
        // Stars, one a character; the offsets count characters then.
        shown.assign(CharacterCount(value), '*');
        caret = CharacterCount(std::string_view(value).substr(0, caret));
        start = CharacterCount(std::string_view(value).substr(0, start));
        end = CharacterCount(std::string_view(value).substr(0, end));
    } else {
        shown = value;
    }
    StyledText text;
    text.text = std::move(shown);
    text.runs = {
        {uint32_t(start), kPlain}, {uint32_t(end), kBar}, {uint32_t(text.text.size()), kPlain}};
    const uint32_t caretCell = CellAtByte(text.text, caret);
    inputFirstCell_ = InputFirstCell(caretCell, layout_.columns, inputFirstCell_);
    screen_.DrawText(row, 0, text, 0, uint32_t(text.text.size()), inputFirstCell_);
    return int(caretCell - inputFirstCell_);
}

void TerminalHost::ScrollBy(int rows)
{
    std::scoped_lock lock(client_->OutputLock());
    const OutputBuffer& out = client_->Output();
    if (out.LineCount() == 0) return;
    const uint64_t last = out.End() - 1;
    uint64_t bottom = std::max(scrollBottom_.value_or(last), out.LineBase());
    auto rowsOf = [&](uint64_t n) {
        const OutputLine* line = out.Line(n);
        return line ? int(RowStarts(line->Text(), layout_.columns).size()) : 1;
    };
    // Back: lines leave at the bottom until `rows` rows have gone; forward: lines join.
    for (int moved = 0; rows < 0 && moved < -rows && bottom > out.LineBase(); --bottom)
        moved += rowsOf(bottom);
    for (int moved = 0; rows > 0 && moved < rows && bottom < last; ++bottom)
        moved += rowsOf(bottom + 1);
    if (bottom >= last) {
        scrollBottom_.reset();
    } else {
        scrollBottom_ = bottom;
    }
    MarkChanged();
}

// --- Host ---

void TerminalHost::SetStatusText(int part, std::string_view text)
{
    if (part < 0 || part >= int(std::size(status_))) return;
    {
        std::scoped_lock lock(stateMutex_);
        status_[part].assign(text);
    }
    MarkChanged();
}

void TerminalHost::StartWindowTimer(int id, int milliseconds)
{
    loop_.StartTimer(id, milliseconds);
}

void TerminalHost::StopWindowTimer(int id)
{
    loop_.StopTimer(id);
}

void TerminalHost::Beep(uint32_t)
{
    loop_.Post([this] { screen_.Beep(); });
}

void TerminalHost::RequestClose()
{
    loop_.Post([this] { closeRequested_ = true; });
}

void TerminalHost::SetPromptLine(std::string_view text, bool shown)
{
    {
        std::scoped_lock lock(stateMutex_);
        promptText_.assign(text);
        promptShown_ = shown;
    }
    MarkChanged();
}

std::string TerminalHost::InputText()
{
    if (loop_.OnLoopThread() && input_) return input_->Line().EngineText();
    std::scoped_lock lock(stateMutex_);
    return inputMirror_;
}

void TerminalHost::SetInputText(std::string_view text)
{
    loop_.Post([this, copy = std::string(text)] {
        if (!input_) return;
        input_->Line().SetEngineText(copy);
        InputEdited();
    });
}

void TerminalHost::InsertInputText(std::string_view text)
{
    loop_.Post([this, copy = std::string(text)] {
        if (!input_) return;
        input_->Line().InsertEngineText(copy);
        InputEdited();
    });
}

void TerminalHost::SetInputPasswordMode(bool on)
{
    loop_.Post([this, on] {
        if (passwordMode_ == on) return;
        passwordMode_ = on;
        if (on) {
            edit_.SelectAll();
        } else {
            edit_.SetText("");
        }
        if (input_) InputEdited();
    });
}

void TerminalHost::HistoryAdded(std::string_view line)
{
    loop_.Post([this, copy = std::string(line)] {
        if (input_) input_->HistoryAdded(copy);
    });
}

void TerminalHost::ShowTip(std::string_view text)
{
    {
        std::scoped_lock lock(stateMutex_);
        coreTip_.assign(text);
    }
    MarkChanged();
}

void TerminalHost::HideTip()
{
    {
        std::scoped_lock lock(stateMutex_);
        coreTip_.clear();
    }
    loop_.Post([this] { syntaxTip_.reset(); });
    MarkChanged();
}

void TerminalHost::ShowTip(const SyntaxTip& tip)
{
    syntaxTip_ = tip;
    MarkChanged();
}

void TerminalHost::ScheduleTipRefresh(int milliseconds)
{
    loop_.StartTimer(kTipTimer, milliseconds);
}

int TerminalHost::HistoryPageSize()
{
    return kHistoryPage;
}

void TerminalHost::PerformUiAction(int action)
{
    MarkChanged();
    if (input_ && input_->PerformUiAction(action)) {
        InputEdited();
        return;
    }
    switch (A(action)) {
        case A::ScrollLineUp:
            ScrollBy(-1);
            break;
        case A::ScrollLineDown:
            ScrollBy(1);
            break;
        case A::ScrollPageUp:
            ScrollBy(-PageRows());
            break;
        case A::ScrollPageDown:
            ScrollBy(PageRows());
            break;
        case A::ScrollToTop: {
            std::scoped_lock lock(client_->OutputLock());
            scrollBottom_ = client_->Output().LineBase();
            break;
        }
        case A::ScrollToBottom:
            scrollBottom_.reset();
            break;
        default:
            break;
    }
}

// --- Questions and programs ---

std::optional<TerminalKey> TerminalHost::AskKey(const std::string& question)
{
    question_ = question;
    MarkChanged();
    std::optional<TerminalKey> answer;
    while (!answer && !quit_) {
        if (changed_) Draw();
        TermKeyKey key;
        TermKeyResult result = termkey_getkey(keys_, &key);
        if (result == TERMKEY_RES_EOF) {
            quit_ = true;
            break;
        }
        if (result == TERMKEY_RES_KEY) {
            answer = DecodeTerminalKey(key);
            continue;
        }
        pollfd fds[2] = {{termkey_get_fd(keys_), POLLIN, 0}, {signals_.Fd(), POLLIN, 0}};
        const int wait = result == TERMKEY_RES_AGAIN ? termkey_get_waittime(keys_) : -1;
        const int ready = poll(fds, 2, wait);
        if (ready == 0 && termkey_getkey_force(keys_, &key) == TERMKEY_RES_KEY)
            answer = DecodeTerminalKey(key);
        if (fds[1].revents & POLLIN) HandleSignals();
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR) &&
            termkey_advisereadable(keys_) == TERMKEY_RES_ERROR && errno != EINTR)
            quit_ = true;
    }
    question_.clear();
    MarkChanged();
    return answer;
}

std::optional<std::string> TerminalHost::AskLine(const std::string& question,
                                                 std::string_view initial)
{
    TextEditControl answer;
    answer.SetText(initial);
    for (;;) {
        // The answer shows in the question's row, after it.
        std::optional<TerminalKey> key = AskKey(question + answer.Value());
        if (!key || key->code == key::kEscape) return std::nullopt;
        if (key->code == key::kReturn) return answer.Value();
        if (key->text != 0) {
            std::string text;
            AppendUtf8(text, key->text);
            answer.ReplaceSelection(text);
        } else {
            answer.EditKey(key->code);
        }
    }
}

QuitChoice TerminalHost::AskSaveSettings(std::string& fileName)
{
    const std::optional<TerminalKey> key = AskKey(kSaveQuestion);
    const char32_t answer = key ? key->text : 0;
    if (answer == U'n' || answer == U'N') return QuitChoice::DontSave;
    if (answer != U'y' && answer != U'Y') return QuitChoice::DontQuit;
    const std::optional<std::string> name = AskLine(kSaveFileQuestion, fileName);
    // Saving was asked for: without a name the client stays rather than lose them.
    if (!name || name->empty()) return QuitChoice::DontQuit;
    fileName = *name;
    return QuitChoice::SaveAndQuit;
}

std::optional<std::string> TerminalHost::AskOpenFileName(std::string_view, std::string_view)
{
    if (!loop_.OnLoopThread()) return std::nullopt;
    std::optional<std::string> name = AskLine(kFileQuestion, "");
    if (!name || name->empty()) return std::nullopt;
    return name;
}

std::optional<StartFailure> TerminalHost::ShowFile(const std::string& fileName, bool editable)
{
    ProgramWords words = editable ? TextEditor() : TextViewer();
    words.push_back(FileArgument(fileName));
    auto run = [this, words] {
        termkey_stop(keys_);
        screen_.Suspend();
        std::optional<StartFailure> failure = RunInForeground(words);
        screen_.Resume();
        termkey_start(keys_);
        MarkChanged();
        return failure;
    };
    if (loop_.OnLoopThread()) return run();
    // Another thread never waits for the loop: the program runs when the loop gets to it.
    loop_.Post([run] { run(); });
    return std::nullopt;
}

}  // namespace zel
