// A real main window for widget tests: the client with all modules on the desktop host,
// the window started with its history file in a folder of the test's own, and dialogs that
// answer as the test says. Window placement goes to that folder, not the user's settings.
#pragma once

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WaitUntil.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "window/HistoryList.h"
#include "window/InputLineWidget.h"
#include "window/MainWindow.h"
#include "window/WindowHost.h"

namespace zel::test {

struct ScriptedDialogs : WindowDialogs {
    bool AskQuit(QWidget*) override
    {
        ++quitQuestions;
        return quitAnswer;
    }
    QuitChoice AskSaveSettings(QWidget*, std::string& fileName) override
    {
        ++saveQuestions;
        if (!saveAs.empty()) fileName = saveAs;
        return saveChoice;
    }
    std::optional<std::string> AskOpenFileName(QWidget*, std::string_view,
                                               std::string_view) override
    {
        return std::nullopt;
    }
    bool quitAnswer = false;
    QuitChoice saveChoice = QuitChoice::DontQuit;
    std::string saveAs;
    int quitQuestions = 0;
    int saveQuestions = 0;
};

// Waits for `done` while the event loop runs, so that queued calls and timers happen.
template <typename Predicate>
bool WaitInLoop(Predicate&& done)
{
    return QTest::qWaitFor(done, int(std::chrono::milliseconds(kWaitLimit).count()));
}

class WindowTest : public ::testing::Test {
protected:
    // Settings of the window placement live in the test's folder.
    static TempFolder& SettingsFolder()
    {
        static TempFolder folder("zel-window-settings");
        return folder;
    }

    WindowTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(SettingsFolder().Path().string()));
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        host = std::make_unique<WindowHost>(std::move(scripted));
        client = std::make_unique<ClientWindow>(*host, AllModules());
        window = std::make_unique<MainWindow>(*client);
        host->Attach(*client, *window);
    }
    ~WindowTest() override
    {
        client->CloseConnection();
        host->Detach();
        window.reset();
        client.reset();
    }

    // Starts the window with the history file in the test's folder.
    void Start(const std::string& commandLine = "")
    {
        window->resize(1000, 700);
        window->Start(commandLine, HistoryPath());
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Input().setFocus();
    }
    std::string HistoryPath() const { return folder / "history.zel"; }

    InputLineWidget& Input() { return window->Input(); }
    std::string InputText() { return Input().text().toStdString(); }
    void Type(const char* text) { QTest::keyClicks(&Input(), text); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&Input(), key, modifiers);
    }
    // Every line of the output buffer, ended or not.
    std::vector<std::string> OutputLines()
    {
        std::scoped_lock lock(client->OutputLock());
        const OutputBuffer& out = client->Output();
        std::vector<std::string> lines;
        for (uint64_t n = out.LineBase(); n < out.End(); ++n)
            if (const OutputLine* line = out.Line(n)) lines.emplace_back(line->Text());
        return lines;
    }
    bool OutputHas(std::string_view text)
    {
        for (const std::string& line : OutputLines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> HistoryRows()
    {
        std::vector<std::string> rows;
        for (int i = 0; i < window->History().count(); ++i)
            rows.push_back(window->History().item(i)->text().toStdString());
        return rows;
    }

    TempFolder folder{"zel-window"};
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<WindowHost> host;
    std::unique_ptr<ClientWindow> client;
    std::unique_ptr<MainWindow> window;
};

}  // namespace zel::test
