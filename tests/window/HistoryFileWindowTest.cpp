// The history file as the window uses it: lines run are written, a later start reads them
// back into the history list, and a file that is missing, binary, enormous or unwritable
// does not stop the window from starting.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "WindowFixture.h"

namespace zel::test {
namespace {

using HistoryFileWindowTest = WindowTest;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(HistoryFileWindowTest, LinesRunAreWrittenAndReadBackNextTime)
{
    Start();
    for (const char* line : {"north", "|echo two", "south"}) {
        Type(line);
        Press(Qt::Key_Return);
    }
    EXPECT_EQ(ReadAll(HistoryPath()), "north\r\n|echo two\r\nsouth\r\n");

    // A second window on the same file starts with those lines, the last in view.
    WindowHost host2(std::make_unique<ScriptedDialogs>());
    ClientWindow client2(host2, AllModules());
    MainWindow window2(client2);
    host2.Attach(client2, window2);
    window2.Start("", HistoryPath());
    ASSERT_EQ(window2.History().count(), 3);
    EXPECT_EQ(window2.History().item(2)->text(), "south");
    QTest::keyClick(&window2.Input(), Qt::Key_Up);
    EXPECT_EQ(window2.Input().text(), "south");
    host2.Detach();
}

TEST_F(HistoryFileWindowTest, OptionHistoryBoundsTheListNotTheFile)
{
    Start();
    client->ExecuteLine("|option history 3 3 3", false, false);
    for (const char* line : {"one", "two", "three", "four", "five"}) {
        Type(line);
        Press(Qt::Key_Return);
    }
    EXPECT_EQ(HistoryRows(), (std::vector<std::string>{"three", "four", "five"}));
    EXPECT_EQ(ReadAll(HistoryPath()), "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
}

// Each bad file: the window starts, shows its greeting and takes typed lines.
class BadHistoryFileTest : public WindowTest {
protected:
    void StartAndRun()
    {
        Start();
        ASSERT_FALSE(OutputLines().empty());
        Type("|echo still here");
        Press(Qt::Key_Return);
        EXPECT_TRUE(OutputHas("still here"));
    }
};

TEST_F(BadHistoryFileTest, MissingFileIsCreated)
{
    StartAndRun();
    EXPECT_EQ(ReadAll(HistoryPath()), "|echo still here\r\n");
}

TEST_F(BadHistoryFileTest, BinaryFileLoadsNoGarbage)
{
    {
        std::ofstream out(HistoryPath(), std::ios::binary);
        std::string bytes;
        for (int i = 0; i < 70000; ++i) bytes += char(i * 37 % 256);
        out << bytes << "\r\nlast line\r\n";
    }
    StartAndRun();
    // Rows hold no NUL (pieces with one are skipped) and the last real line is there.
    for (const std::string& row : HistoryRows()) EXPECT_EQ(row.find('\0'), std::string::npos);
    EXPECT_LE(window->History().count(), 1001);
}

TEST_F(BadHistoryFileTest, EnormousFileIsReadOnlyAtItsTail)
{
    {
        // A sparse file of 1 GiB of NUL bytes with a few lines at the end.
        const int fd = ::open(HistoryPath().c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(1) << 30), 0);
        ::close(fd);
        std::ofstream out(HistoryPath(), std::ios::binary | std::ios::app);
        out << "\r\nnewest\r\n";
    }
    StartAndRun();
    EXPECT_LE(window->Controller().File().BytesRead(), HistoryFile::kMaxLoadBytes);
    const std::vector<std::string> rows = HistoryRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[rows.size() - 2], "newest");
}

TEST_F(BadHistoryFileTest, UnwritableFileIsReadButNotWritten)
{
    {
        std::ofstream out(HistoryPath(), std::ios::binary);
        out << "old line\r\n";
    }
    ASSERT_EQ(::chmod(HistoryPath().c_str(), 0444), 0);
    StartAndRun();
    EXPECT_EQ(HistoryRows().front(), "old line");
    if (::geteuid() != 0) {
        EXPECT_EQ(ReadAll(HistoryPath()), "old line\r\n");
    }
}

TEST_F(BadHistoryFileTest, FolderInPlaceOfTheFile)
{
    std::filesystem::create_directory(HistoryPath());
    StartAndRun();
    EXPECT_EQ(HistoryRows(), std::vector<std::string>{"|echo still here"});
}

}  // namespace
}  // namespace zel::test
