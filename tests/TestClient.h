// A client for tests: a real ClientWindow on a recording host, with every line that enters
// the output buffer collected as it is ended.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace zel::test {

class RecordingHost : public NullHost {
public:
    void Beep(uint32_t type) override { calls.push_back("beep " + std::to_string(type)); }
    void FlashCaption(bool on) override { calls.push_back(on ? "flash on" : "flash off"); }
    void RequestClose() override { calls.push_back("close"); }
    void LayoutChildren() override { calls.push_back("layout"); }
    void RefreshSetupDialog() override { calls.push_back("refresh"); }
    void HistoryAdded(std::string_view line) override
    {
        calls.push_back("history " + std::string(line));
    }
    void SetOutputFont(std::string_view face, int height, int width, int weight) override
    {
        calls.push_back("font " + std::string(face) + " " + std::to_string(height) + " " +
                        std::to_string(width) + " " + std::to_string(weight));
    }
    void SetOutputColors(uint32_t back, uint32_t text) override
    {
        calls.push_back("colors " + std::to_string(back) + " " + std::to_string(text));
    }
    void RepaintOutput() override { calls.push_back("repaint"); }
    void StartWindowTimer(int id, int milliseconds) override
    {
        calls.push_back("start timer " + std::to_string(id) + " " + std::to_string(milliseconds));
    }
    void StopWindowTimer(int id) override { calls.push_back("stop timer " + std::to_string(id)); }
    void PerformUiAction(int action) override { calls.push_back("ui " + std::to_string(action)); }
    int Count(std::string_view call) const
    {
        return int(std::count(calls.begin(), calls.end(), call));
    }
    std::vector<std::string> calls;
};

struct PrintedLine {
    std::string text;
    TextFormat format;  // the resolved format of the line's first run
};

class TestClient : private OutputBuffer::Listener {
public:
    TestClient() { client.Output().AddListener(this); }
    ~TestClient() { client.Output().RemoveListener(this); }

    // Runs a typed line (history and echo on) and returns the lines it printed; a line
    // left open at the end is returned too, without taking it from the buffer.
    std::vector<std::string> Run(std::string_view line)
    {
        printed.clear();
        client.ExecuteLine(line, true, true);
        return Texts();
    }
    // Runs the lines in order; returns everything they printed.
    std::vector<std::string> RunAll(const std::vector<std::string>& lines)
    {
        std::vector<std::string> out;
        for (const auto& line : lines)
            for (auto& text : Run(line)) out.push_back(std::move(text));
        return out;
    }
    // Runs the lines in order; returns what the last one printed.
    std::vector<std::string> RunLast(const std::vector<std::string>& lines)
    {
        std::vector<std::string> out;
        for (const auto& line : lines) out = Run(line);
        return out;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& line : printed) texts.push_back(line.text);
        const OutputBuffer& out = const_cast<ClientWindow&>(client).Output();
        if (const OutputLine* last = out.Line(out.End() - 1); last && !last->Ended())
            texts.emplace_back(last->Text());
        return texts;
    }

    RecordingHost host;
    ClientWindow client{host, AllModules()};
    std::vector<PrintedLine> printed;

private:
    void LineEnded(uint64_t, const OutputLine& line) override
    {
        PrintedLine p{std::string(line.Text()), DefaultTextFormat()};
        if (!line.Runs().empty()) p.format = client.Output().Format(line.Runs()[0].format);
        printed.push_back(std::move(p));
    }
};

}  // namespace zel::test
