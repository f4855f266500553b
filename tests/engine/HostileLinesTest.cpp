// Lines and files that once froze the client or let it run without end: each is refused or
// cut, says so once, and leaves the client answering.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>

#include "TempFolder.h"
#include "TestClient.h"
#include "ThreadTime.h"
#include "net/NetTestClient.h"

namespace zel {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

TEST(HostileLines, TooDeepANestingAbandonsTheWholeLineOnce)
{
    test::TestClient t;
    t.Run("|alias add b {|2 b}");
    const auto start = test::ThreadTime();
    const Lines out = t.Run("b");
    EXPECT_LT(test::ThreadTime() - start, 10s);
    EXPECT_EQ(std::count(out.begin(), out.end(), "Too many nested commands!"), 1) << out.size();
    // Repetitions and later segments of the abandoned line do not run; the next line does.
    EXPECT_EQ(t.Run("|3 b;|echo after"), Lines{"Too many nested commands!"});
    EXPECT_EQ(t.Run("|echo next"), Lines{"next"});
}

TEST(HostileLines, AServersUnfinishedSequenceCannotEatTheClientsMessage)
{
    test::TestClient t;
    t.Run("|receive def\\e[1\\;3");
    EXPECT_EQ(t.Run("|echo Client\\n"), Lines{"defClient"});
}

TEST(HostileLines, TheFileTheLogWritesCannotBeRead)
{
    test::TempFolder folder;
    test::TestClient t;
    const std::string log = folder / "session.log";
    t.Run("|log " + log);
    EXPECT_EQ(t.Run("|read " + log),
              Lines{"Unable to read file '" + log + "' : the session log is written to it"});
    // The same file by another name is refused too.
    ASSERT_EQ(symlink(log.c_str(), (folder / "other").c_str()), 0);
    EXPECT_EQ(t.Run("|read " + folder / "other").size(), 1u);
    t.Run("|log");
    std::ofstream(log, std::ios::app) << "|echo read\n";
    EXPECT_EQ(t.Run("|read " + log).back(), "read");
}

TEST(HostileLines, LoggingOntoAFifoIsRefusedWithoutWaiting)
{
    test::TempFolder folder;
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::TestClient t;
    auto run = std::async(std::launch::async, [&] { return t.Run("|log " + fifo); });
    if (run.wait_for(10s) != std::future_status::ready) {
        // Release the blocked open so that the test can end.
        const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        run.wait();
        close(reader);
        FAIL() << "|log blocked on a FIFO";
    }
    EXPECT_EQ(run.get(), Lines{"Unable to log to '" + fifo + "'"});
    // A reader waiting on the FIFO does not make it a log either.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(t.Run("|log " + fifo), Lines{"Unable to log to '" + fifo + "'"});
    close(reader);
}

TEST(HostileLines, AnOverlongTypedLineKeepsItsLineEndOnTheWire)
{
    test::NetTestClient t;
    ASSERT_TRUE(t.Connect());
    t.Run(std::string(16400, 'x'));
    t.Run("next");
    const std::string first = t.server.ReceiveUntil("\r\n", 10s);
    EXPECT_EQ(first.size(), 16383u);
    EXPECT_EQ(first, std::string(16381, 'x') + "\r\n");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n", 10s), "next\r\n");
}

TEST(HostileLines, AlternatingRunsStayWithinTheScrollMemory)
{
    test::TestClient t;
    EXPECT_EQ(t.Run("|option scrollmemory 2"), Lines{"Scroll-back memory limit set to 2 MB"});
    std::string line;
    for (int i = 0; i < 4000; ++i) line += i % 2 ? "x\x1b[31m" : "y\x1b[32m";
    line += "\r\n";
    size_t peak = 0;
    for (int i = 0; i < 1000; ++i) {  // 4,000,000 characters: 36 MB in runs unbounded
        t.client.ProcessIncomingText(line, true);
        std::scoped_lock lock(t.client.OutputLock());
        peak = std::max(peak, t.client.Output().MemoryUsage());
    }
    EXPECT_LE(peak, size_t(3) << 20);
}

}  // namespace
}  // namespace zel
