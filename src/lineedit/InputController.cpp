#include "lineedit/InputController.h"

#include <algorithm>
#include <mutex>

#include "base/Utf8.h"
#include "engine/ClientWindow.h"
#include "input/InternalActions.h"
#include "lang/WordReader.h"
#include "lineedit/CommandAtCaret.h"

namespace zel {
namespace {

using A = InternalAction;

bool IsHistoryMove(int action)
{
    return action >= int(A::HistLineUp) && action <= int(A::HistBottom);
}

}  // namespace

InputController::InputController(ClientWindow& client, EditControl& edit, InputView& view)
    : client_(client), view_(view), line_(client, edit)
{
    line_.SetExecutedHandler([this] { searchPrefix_.clear(); });
}

void InputController::OpenHistoryFile(const std::string& path)
{
    const size_t total = size_t(std::max(1, client_.GetOptions().historyTotal));
    CommandHistory& history = client_.History();
    for (const std::string& line : file_.Open(path, total)) history.Add(line);
    view_.HistoryChanged();
}

void InputController::KeyReachedControl()
{
    line_.KeyReachedControl();
    client_.PerformInternalAction(int(A::HistDeselect));
}

bool InputController::PerformUiAction(int action)
{
    if (action <= 0 || action > 255) return false;
    const bool move = IsHistoryMove(action);
    bool handled = true;
    if (move) {
        MoveInHistory(action);
    } else {
        switch (A(action)) {
            case A::HistDeselect:
                EndBrowsing();
                break;
            case A::HistRun: {
                const auto cursor = client_.History().Cursor();
                if (cursor) {
                    // A copy: recording moves the entry.
                    const std::string entry = client_.History().Lines()[*cursor];
                    client_.ExecuteLine(entry, true, true);
                    searchPrefix_.clear();
                }
                break;
            }
            case A::CompletionAdd:
            case A::CompletionDel:
                ChangeCompletion(A(action) == A::CompletionAdd);
                break;
            default:
                // The input line's own actions, when they come from elsewhere than its keys.
                handled = line_.PerformOwnAction(action);
                if (handled) EndBrowsing();
                break;
        }
    }
    // Browsing lasts from a history move until any other action.
    if (active_ != move) {
        active_ = move;
        if (!active_ && client_.History().Cursor()) {
            client_.History().ClearCursor();
            view_.HistoryCursorMoved();
        }
        view_.HistoryActiveChanged(active_);
    }
    return handled;
}

void InputController::EndBrowsing()
{
    searchPrefix_.clear();
    if (client_.History().Cursor()) {
        client_.History().ClearCursor();
        view_.HistoryCursorMoved();
    }
    RequestTipRefresh();
}

void InputController::MoveInHistory(int action)
{
    CommandHistory& history = client_.History();
    const auto& lines = history.Lines();
    if (lines.empty()) {
        RequestTipRefresh();
        return;
    }
    const auto size = std::ptrdiff_t(lines.size());
    const auto cursor = history.Cursor();
    const std::ptrdiff_t current = cursor ? std::ptrdiff_t(*cursor) : size;
    const std::ptrdiff_t page = std::max(1, view_.HistoryPageSize());
    std::ptrdiff_t position = current;
    bool backwards = true;
    switch (A(action)) {
        case A::HistLineUp:
            position = current - 1;
            break;
        case A::HistPageUp:
            position = current - page;
            break;
        case A::HistTop:
            position = 0;
            break;
        case A::HistLineDown:
            position = current + 1;
            backwards = false;
            break;
        case A::HistPageDown:
            position = current + page;
            backwards = false;
            break;
        default:  // HIST_BOTTOM
            position = size - 1;
            backwards = false;
            break;
    }
    position = std::min(position, size - 1);
    if (searchPrefix_.empty() && !line_.ShowsExecutedCommand() && !cursor)
        searchPrefix_ = line_.EngineText();

    const std::ptrdiff_t step = backwards ? -1 : 1;
    while (position >= 0 && position < size && !lines[size_t(position)].starts_with(searchPrefix_))
        position += step;
    if (position < 0 || position >= size) {
        history.ClearCursor();
        client_.GetHost().Beep(0xFFFFFFFF);
    } else {
        history.SetCursor(size_t(position));
        line_.SetEngineText(lines[size_t(position)]);
        // A recalled entry is the line's text now, not the executed command.
        line_.SetChanged(true);
    }
    view_.HistoryCursorMoved();
    RequestTipRefresh();
}

void InputController::ChangeCompletion(bool add)
{
    EditControl& edit = line_.Edit();
    const std::string text = edit.Text();
    const CommandAtCaret at = FindCommandAtCaret(text, edit.Caret(), client_.Chars());
    std::string_view word = at.TextIn(text);
    size_t cut = 0;
    for (size_t n = 0; n < kNameCapacity && cut < word.size(); ++n) cut = NextCharacter(word, cut);
    const std::string name = client_.Utf8ToEngine(word.substr(0, cut));
    if (name.empty()) return;
    {
        std::scoped_lock lock(client_.DefinitionLock());
        if (add) {
            client_.Completions().Insert(name).disabled = false;
            client_.MarkSettingsChanged();
        } else if (client_.Completions().Erase(name)) {
            client_.MarkSettingsChanged();
        }
    }
    client_.GetHost().RefreshSetupDialog();
}

void InputController::HistoryAdded(std::string_view line)
{
    file_.Append(line);
    view_.HistoryChanged();
}

void InputController::RefreshTip()
{
    const EditControl& edit = line_.Edit();
    std::optional<SyntaxTip> tip = FindSyntaxTip(client_, edit.Text(), edit.Caret());
    if (!tip) {
        if (tipShown_) view_.HideTip();
        tipShown_ = false;
        lastTip_.reset();
    } else if (!tipShown_ || tip != lastTip_) {
        view_.ShowTip(*tip);
        tipShown_ = true;
        lastTip_ = std::move(tip);
    }
}

void InputController::RequestTipRefresh()
{
    if (tipShown_)
        RefreshTip();
    else
        view_.ScheduleTipRefresh(kTipDelayMilliseconds);
}

}  // namespace zel
