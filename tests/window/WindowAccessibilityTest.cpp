// Screen readers: every control has a name, the prompt line and the history list expose
// their text, and the keyboard reaches every control.
#include <QAccessible>
#include <QLabel>
#include <QToolButton>

#include "WindowFixture.h"
#include "window/ButtonBar.h"
#include "window/OutputView.h"
#include "window/StatusBar.h"

namespace zel::test {
namespace {

using WindowAccessibilityTest = WindowTest;

QString Name(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST_F(WindowAccessibilityTest, EveryControlIsNamed)
{
    Start();
    const std::pair<QWidget*, const char*> named[] = {
        {&window->Output(), "Output"},
        {&window->ScrollBack(), "Scroll-back"},
        {&window->Prompt(), "Prompt line"},
        {&window->Input(), "Input line"},
        {&window->History(), "Command history"},
        {&window->Status(), "Status bar"},
        {&window->Buttons(), "Toolbar"},
        {window->Status().PartLabel(0), "Connection: Not connected"},
        {window->Status().PartLabel(1), "Time connected: --:--:--"},
        {window->Status().PartLabel(2), "Bytes received: I: 0"},
        {window->Status().PartLabel(3), "Bytes sent: O: 0"},
        {window->Status().PartLabel(4), "Scroll-back position: @ 0/0"},
    };
    for (const auto& [widget, name] : named) EXPECT_EQ(Name(widget).toStdString(), name);
    const char* buttons[] = {"Aliases", "Bindings",  "Completes", "Syntaxes", "Actions",
                             "Timers",  "Variables", "Scripts",   "Setup"};
    for (int i = 0; i < ButtonBar::kButtons; ++i)
        EXPECT_EQ(Name(window->Buttons().Button(i)).toStdString(), buttons[i]);
}

TEST_F(WindowAccessibilityTest, PromptAndHistoryExposeTheirText)
{
    Start();
    client->ExecuteLine("|prompt set <100hp 50mv>", false, false);
    QAccessibleInterface* prompt = QAccessible::queryAccessibleInterface(&window->Prompt());
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(QAccessible::Value).toStdString(), " <100hp 50mv>");

    Type("open door");
    Press(Qt::Key_Return);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&window->History());
    ASSERT_NE(list, nullptr);
    bool found = false;
    for (int i = 0; i < list->childCount(); ++i)
        if (list->child(i)->text(QAccessible::Name) == "open door") found = true;
    EXPECT_TRUE(found);
}

TEST_F(WindowAccessibilityTest, TheKeyboardReachesEveryControl)
{
    Start();
    // F6 moves on from the input line (Tab completes there); Tab goes on from the others.
    std::vector<QWidget*> visited;
    Press(Qt::Key_F6);
    for (int i = 0; i < 20 && QApplication::focusWidget() != &Input(); ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    auto reached = [&](QWidget* w) {
        return std::find(visited.begin(), visited.end(), w) != visited.end();
    };
    EXPECT_TRUE(reached(&window->History()));
    EXPECT_TRUE(reached(&window->Output()));
    EXPECT_TRUE(reached(window->Buttons().Button(0)));
    EXPECT_TRUE(reached(window->Buttons().Button(8)));
    EXPECT_EQ(QApplication::focusWidget(), &Input());
    // Typing where the output has the focus goes to the input line, which keeps it.
    window->Output().setFocus();
    QTest::keyClick(&window->Output(), Qt::Key_A);
    EXPECT_EQ(QApplication::focusWidget(), &Input());
    QTest::keyClicks(QApplication::focusWidget(), "bc");
    EXPECT_EQ(InputText(), "abc");
}

}  // namespace
}  // namespace zel::test
