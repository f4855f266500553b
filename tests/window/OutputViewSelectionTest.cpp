// Selecting in the output view with the mouse and the keyboard, what reaches the clipboard,
// wide characters under the pointer, and what a screen reader is told.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QClipboard>
#include <QSignalSpy>
#include <string>

#include "OutputViewTestSupport.h"

namespace zel::test {
namespace {

QString Clipboard()
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

// "日本 語abc": 日 in cells 0-1, 本 2-3, a space at 4, 語 5-6, then a, b, c at 7, 8, 9.
constexpr char kWideLine[] =
    "\xe6\x97\xa5\xe6\x9c\xac \xe8\xaa\x9e"
    "abc\r\n";

TEST_F(OutputViewTest, MouseSelectionReachesTheClipboardAsUnicode)
{
    Receive("caf\xc3\xa9 cr\xc3\xa8me\r\n");
    Receive(kWideLine);
    Receive("third line\r\n");
    ASSERT_TRUE(Settle());
    const int first = LastRow() - 2;
    QSignalSpy copied(&view, &OutputView::SelectionCopied);

    QGuiApplication::clipboard()->clear();
    Drag(CellPoint(first, 3), CellPoint(first, 4));
    EXPECT_EQ(QString::fromUtf8("\xc3\xa9"), Clipboard());
    ASSERT_EQ(1, copied.size());
    EXPECT_FALSE(copied.last().at(1).toBool());

    // Over three lines, joined by line feeds; backwards drags select the same.
    Drag(CellPoint(first + 2, 5), CellPoint(first, 5));
    EXPECT_EQ(QString::fromUtf8("cr\xc3\xa8me\n\xe6\x97\xa5\xe6\x9c\xac \xe8\xaa\x9e"
                                "abc\nthird"),
              Clipboard());

    // The right button copies too and asks for the text in the input line.
    Drag(CellPoint(first + 1, 0), CellPoint(first + 1, 4), Qt::RightButton);
    EXPECT_EQ(QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac"), Clipboard());
    EXPECT_TRUE(copied.last().at(1).toBool());
    EXPECT_EQ(Clipboard(), copied.last().at(0).toString());

    // A click without a drag copies nothing.
    QGuiApplication::clipboard()->setText("kept");
    Drag(CellPoint(first, 1), CellPoint(first, 1));
    EXPECT_EQ("kept", Clipboard());
    EXPECT_FALSE(view.HasSelection());
}

TEST_F(OutputViewTest, WideCharactersTakeTwoCellsUnderThePointer)
{
    Receive(kWideLine);
    ASSERT_TRUE(Settle());
    const int row = LastRow();
    const uint64_t line = view.TopLine() + uint64_t(row);
    // A click in a cell's right half selects from the next column.
    EXPECT_EQ((OutputCell{line, 2}), view.CellAt(CellPoint(row, 2)));
    EXPECT_EQ((OutputCell{line, 3}), view.CellAt(CellPoint(row, 2) + QPoint(kCellWidth / 2, 0)));

    // Either half of 本 starts the selection at 本; 語 ends at cell 7 where a begins.
    Drag(CellPoint(row, 2), CellPoint(row, 7));
    EXPECT_EQ(QString::fromUtf8("\xe6\x9c\xac \xe8\xaa\x9e"), Clipboard());
    Drag(CellPoint(row, 3), CellPoint(row, 8));
    EXPECT_EQ(QString::fromUtf8("\xe6\x9c\xac \xe8\xaa\x9e"
                                "a"),
              Clipboard());
    // An end inside a wide character leaves it out.
    Drag(CellPoint(row, 0), CellPoint(row, 3));
    EXPECT_EQ(QString::fromUtf8("\xe6\x97\xa5"), Clipboard());

    // A double click selects the word under the pointer, either half of a wide character.
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, CellPoint(row, 3));
    EXPECT_EQ(QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac"), Clipboard());
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, CellPoint(row, 8));
    EXPECT_EQ(QString::fromUtf8("\xe8\xaa\x9e"
                                "abc"),
              Clipboard());

    // The selection is drawn inverted over exactly its cells.
    view.Select({line, 2}, {line, 4});
    const QImage image = Render();
    EXPECT_EQ(QColor(255, 255, 255), CellColor(image, row, 2, 0, 0));
    EXPECT_EQ(QColor(255, 255, 255), CellColor(image, row, 3, kCellWidth - 1, 0));
    EXPECT_EQ(QColor(0, 0, 0), CellColor(image, row, 4, 0, 0));
    EXPECT_EQ(QColor(0, 0, 0), CellColor(image, row, 1, kCellWidth - 1, 0));
}

TEST_F(OutputViewTest, KeyboardMovesACaretAndSelects)
{
    Receive("first\r\n");
    Receive("caf\xc3\xa9 \xe6\x97\xa5!\r\n");
    ASSERT_TRUE(Settle());
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    // As when the user tabs in from the input line.
    view.clearFocus();
    view.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(ProcessUntil([&] { return view.hasFocus(); }));
    // The caret starts at the start of the last line in view.
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    for (int i = 0; i < 4; ++i) QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QString::fromUtf8("f\xc3\xa9 \xe6\x97\xa5"), Clipboard());
    // The anchor stays where the selection began.
    QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ("ca", Clipboard());
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ("first\nca", Clipboard());
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.HasSelection());

    // Keys the view does not use go on to the parent, as typing does.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&view, &typed);
    EXPECT_FALSE(typed.isAccepted());
}

TEST_F(OutputViewTest, ScreenReadersReadTheLinesInView)
{
    Receive("Welcome to the game\r\n");
    Receive(kWideLine);
    ASSERT_TRUE(Settle());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(nullptr, accessible);
    EXPECT_EQ(QAccessible::EditableText, accessible->role());
    EXPECT_TRUE(accessible->state().readOnly);
    EXPECT_TRUE(accessible->state().multiLine);
    EXPECT_EQ("Output", accessible->text(QAccessible::Name));
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(nullptr, text);
    const QString expected = QString::fromUtf8(
        "Welcome to the game\n\xe6\x97\xa5\xe6\x9c\xac \xe8\xaa\x9e"
        "abc");
    EXPECT_EQ(expected, text->text(0, text->characterCount()));
    int start = 0, end = 0;
    EXPECT_EQ("game", text->textAtOffset(16, QAccessible::WordBoundary, &start, &end));

    // A selection in the view is the screen reader's, and the other way round.
    view.Select({view.TopLine() + 1, 2}, {view.TopLine() + 1, 4});
    ASSERT_EQ(1, text->selectionCount());
    text->selection(0, &start, &end);
    EXPECT_EQ(QString::fromUtf8("\xe6\x9c\xac"), text->text(start, end));
    text->setSelection(0, 0, 7);
    EXPECT_EQ("Welcome", view.SelectedText());
    // Character positions map onto cells: offset 21 is 本 at cells 2-3 of the second row.
    const QRect rect = text->characterRect(21);
    EXPECT_EQ(view.mapToGlobal(QPoint(2 * kCellWidth, (LastRow()) * kCellHeight)), rect.topLeft());
    EXPECT_EQ(21, text->offsetAtPoint(rect.center() + QPoint(kCellWidth / 2, 0)));

    // New text is announced once, without what was announced before. (The offscreen
    // platform has no screen reader to take the text-inserted events; they carry the same.)
    QString announced;
    QObject::connect(&view, &OutputView::NewText, [&](const QString& text) { announced += text; });
    Receive("You see a ");
    ASSERT_TRUE(ProcessUntil([&] { return view.UpToDate() && !announced.isEmpty(); }));
    Receive("dragon.\r\nIt roars.\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return view.UpToDate() && announced.endsWith("roars."); }));
    EXPECT_EQ("\nYou see a dragon.\nIt roars.", announced);
    // A flood is summed up by its last lines.
    announced.clear();
    for (int i = 0; i < 1000; ++i) Receive("flood " + std::to_string(i) + "\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return view.UpToDate() && announced.endsWith("flood 999"); }));
    EXPECT_LE(announced.count('\n'), 60);
}

TEST_F(OutputViewTest, EveryFindBarControlHasAnAccessibleName)
{
    view.StartFind();
    ASSERT_TRUE(view.GetFindBar()->isVisible());
    for (QWidget* child : view.GetFindBar()->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->focusPolicy() == Qt::NoFocus) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(child);
        ASSERT_NE(nullptr, accessible);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << child->metaObject()->className();
    }
}

}  // namespace
}  // namespace zel::test
