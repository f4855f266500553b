// A client with an input line for tests: the real ClientWindow with every module, a host
// that forwards the user-interface actions and recorded lines to the InputController as
// the terminal and desktop hosts do, an in-memory edit control, and a view that records what
// it is asked to show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TestClient.h"
#include "base/Utf8.h"
#include "lineedit/InputController.h"
#include "lineedit/KeyInput.h"
#include "lineedit/TextEditControl.h"

namespace zel::test {

class ForwardingHost : public RecordingHost {
public:
    void PerformUiAction(int action) override
    {
        RecordingHost::PerformUiAction(action);
        if (controller) controller->PerformUiAction(action);
    }
    void HistoryAdded(std::string_view line) override
    {
        RecordingHost::HistoryAdded(line);
        if (controller) controller->HistoryAdded(line);
    }
    InputController* controller = nullptr;
};

class RecordingView : public InputView {
public:
    void ShowTip(const SyntaxTip& shown) override
    {
        tip = shown;
        ++shows;
    }
    void HideTip() override
    {
        tip.reset();
        ++hides;
    }
    void ScheduleTipRefresh(int milliseconds) override { scheduled = milliseconds; }
    void HistoryChanged() override { ++historyChanges; }
    void HistoryCursorMoved() override { ++cursorMoves; }
    void HistoryActiveChanged(bool on) override { active.push_back(on); }
    int HistoryPageSize() override { return pageSize; }

    std::optional<SyntaxTip> tip;
    int shows = 0, hides = 0, scheduled = 0, historyChanges = 0, cursorMoves = 0;
    std::vector<bool> active;
    int pageSize = 3;
};

class LineEditClient : private OutputBuffer::Listener {
public:
    LineEditClient()
    {
        host.controller = &controller;
        client.Output().AddListener(this);
    }
    ~LineEditClient()
    {
        client.Output().RemoveListener(this);
        host.controller = nullptr;
    }

    // Presses one key as a host does: the controller first, the control when left to it.
    void Press(KeyCode code, std::string_view typed = {})
    {
        if (controller.KeyPress(code)) return;
        if (!edit.EditKey(code)) edit.ReplaceSelection(typed);
        controller.KeyReachedControl();
    }
    // Types UTF-8 text character by character.
    void Type(std::string_view text)
    {
        for (size_t at = 0; at < text.size();) {
            const size_t next = NextCharacter(text, at);
            Press(KeyForCharacter(DecodeUtf8At(text, at).code), text.substr(at, next - at));
            at = next;
        }
    }
    // Types the text and presses RETURN.
    void Enter(std::string_view text)
    {
        Type(text);
        Press(key::kReturn);
    }
    // Runs a command line as if typed elsewhere (settings, setup), not through the line.
    void Run(std::string_view line) { client.ExecuteLine(line, false, false); }
    std::vector<std::string> HistoryLines() const
    {
        const auto& lines = const_cast<ClientWindow&>(client).History().Lines();
        return {lines.begin(), lines.end()};
    }
    std::string Text() const { return edit.Value(); }
    bool Selected(size_t start, size_t end) const
    {
        return edit.SelectionStart() == start && edit.SelectionEnd() == end;
    }

    ForwardingHost host;
    ClientWindow client{host, AllModules()};
    TextEditControl edit;
    RecordingView view;
    InputController controller{client, edit, view};
    std::vector<std::string> printed;

private:
    void LineEnded(uint64_t, const OutputLine& line) override { printed.emplace_back(line.Text()); }
};

}  // namespace zel::test
