// The history file: recorded lines appended, the newest loaded at start, and files that are
// missing, binary, enormous or unwritable.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LineEditClient.h"
#include "TempFolder.h"

namespace zel {
namespace {

using test::LineEditClient;
using test::TempFolder;
using Lines = std::vector<std::string>;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const std::string& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

TEST(HistoryFile, KeepsEveryLineWhileTheListKeepsTheTotal)
{
    TempFolder folder;
    const std::string path = folder / "history.zel";
    {
        LineEditClient t;
        t.controller.OpenHistoryFile(path);
        EXPECT_TRUE(t.controller.File().Writable());
        t.Run("|option history 3 3 3");
        for (const char* line : {"one", "two", "three", "four", "five"}) t.Enter(line);
        EXPECT_EQ(t.HistoryLines(), (Lines{"three", "four", "five"}));
        EXPECT_EQ(ReadAll(path), "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    }
    LineEditClient all;
    all.controller.OpenHistoryFile(path);
    EXPECT_EQ(all.HistoryLines(), (Lines{"one", "two", "three", "four", "five"}));
    EXPECT_GE(all.view.historyChanges, 1);

    LineEditClient newest;
    newest.client.GetOptions().historyTotal = 2;
    newest.client.History().SetTotalSize(2);
    newest.controller.OpenHistoryFile(path);
    EXPECT_EQ(newest.HistoryLines(), (Lines{"four", "five"}));
    newest.Enter("six");
    EXPECT_TRUE(ReadAll(path).ends_with("five\r\nsix\r\n"));
}

TEST(HistoryFile, MissingFileIsCreatedLongLinesLoadInPieces)
{
    TempFolder folder;
    const std::string path = folder / "history.zel";
    HistoryFile file;
    EXPECT_TRUE(file.Open(path, 10).empty());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(file.Append(std::string(40000, 'x')));
    EXPECT_TRUE(file.Append("short"));
    file.Close();

    const Lines loaded = HistoryFile().Open(path, 10);
    EXPECT_EQ(loaded, (Lines{std::string(16384, 'x'), std::string(16384, 'x'),
                             std::string(40000 - 2 * 16384, 'x'), "short"}));
    // Plain LF line ends and empty lines read too.
    WriteAll(path, "a\n\nb\r\n\r\nc");
    EXPECT_EQ(HistoryFile().Open(path, 10), (Lines{"a", "b", "c"}));
}

TEST(HistoryFile, BinaryContentLoadsBoundedTextOnly)
{
    TempFolder folder;
    const std::string path = folder / "history.zel";
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) c = char(random() % 256);
    WriteAll(path, bytes);

    LineEditClient t;
    t.controller.OpenHistoryFile(path);
    const Lines lines = t.HistoryLines();
    EXPECT_LE(lines.size(), 1000u);
    for (const auto& line : lines) {
        EXPECT_LE(line.size(), HistoryFile::kLinePiece);
        EXPECT_EQ(line.find('\0'), std::string::npos);
    }
    t.Enter("north");
    EXPECT_TRUE(ReadAll(path).ends_with("north\r\n"));
}

TEST(HistoryFile, EnormousFileReadsOnlyItsTail)
{
    TempFolder folder;
    const std::string path = folder / "history.zel";
    {
        // A gibibyte of NUL bytes (sparse), then two lines.
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string tail = "\r\ntail one\r\ntail two\r\n";
        ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), off_t(1) << 30), ssize_t(tail.size()));
        close(fd);
    }
    HistoryFile file;
    EXPECT_EQ(file.Open(path, 1000), (Lines{"tail one", "tail two"}));
    EXPECT_LE(file.BytesRead(), 1000 * (HistoryFile::kLinePiece + 2) + 1);
    EXPECT_EQ(file.Open(path, 1), Lines{"tail two"});
    EXPECT_LE(file.BytesRead(), HistoryFile::kLinePiece + 3);
    // Even a huge total reads no more than the bound.
    EXPECT_EQ(file.Open(path, size_t(1) << 40), (Lines{"tail one", "tail two"}));
    EXPECT_LE(file.BytesRead(), HistoryFile::kMaxLoadBytes + 1);
}

TEST(HistoryFile, UnusableFilesLeaveTheClientWithoutOne)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "directory");
    WriteAll(folder / "plain", "x");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0644), 0);
    for (const std::string& path : {folder / "directory", folder / "plain/below",
                                    folder / "missing/history.zel", folder / "fifo"}) {
        LineEditClient t;
        t.controller.OpenHistoryFile(path);
        EXPECT_FALSE(t.controller.File().IsOpen()) << path;
        t.Enter("north");
        EXPECT_EQ(t.HistoryLines(), Lines{"north"}) << path;
        EXPECT_FALSE(t.controller.File().Append("x")) << path;
    }
    // Readable but not writable: loaded, nothing appended.
    const std::string readOnly = geteuid() == 0 ? "/proc/version" : folder / "read-only";
    if (geteuid() != 0) {
        WriteAll(readOnly, "old\r\n");
        chmod(readOnly.c_str(), 0444);
    }
    LineEditClient t;
    t.controller.OpenHistoryFile(readOnly);
    t.Enter("north");
    EXPECT_FALSE(t.controller.File().Writable());
    EXPECT_EQ(t.HistoryLines().back(), "north");
}

}  // namespace
}  // namespace zel
