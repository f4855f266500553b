// Every command line of the README's tour table runs through `zel --headless` (line mode,
// piped) without an error: the table shows what works.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "WaitUntil.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

// The code spans of the first cell of each row of the table headed "You type", with `\|`
// read as `|`: one list of lines for each row.
std::vector<std::vector<std::string>> TourRows(const std::string& readme)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(readme);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("| You type", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable || line.rfind("| ---", 0) == 0) continue;
        if (line.rfind("|", 0) != 0) break;
        // The first cell ends at the first `|` that is neither escaped nor in a code span.
        std::vector<std::string> spans;
        bool inCode = false;
        std::string span;
        for (size_t i = 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '|') {
                span += '|';
                ++i;
            } else if (line[i] == '`') {
                if (inCode) spans.push_back(span);
                span.clear();
                inCode = !inCode;
            } else if (line[i] == '|' && !inCode) {
                break;
            } else if (inCode) {
                span += line[i];
            }
        }
        rows.push_back(spans);
    }
    return rows;
}

// Messages that report a failure, as the client prints them.
const std::regex kErrorMessage(
    "Unrecognised command|Unable to|[Nn]ot connected|[Uu]nknown|[Ii]nvalid|[Ee]rror|"
    "not found|[Uu]sage|[Ss]yntax error|missing|cannot");

TEST(ReadmeTour, EveryCommandLineRunsWithoutAnError)
{
    const std::vector<std::vector<std::string>> rows =
        TourRows(ReadWholeFile(std::filesystem::path(ZEL_SOURCE_DIR) / "README.md"));
    ASSERT_GE(rows.size(), 20u);
    const TempFolder folder("zel-readme");
    // The viewer and editor the table opens: programs that succeed.
    std::ofstream(folder.Path() / "xdg-open") << "#!/bin/sh\nexit 0\n";
    std::filesystem::permissions(folder.Path() / "xdg-open", std::filesystem::perms::owner_all);
    const std::string dir = folder.Path().string();
    for (const std::vector<std::string>& row : rows) {
        // Lines meant for a server go to one: a loopback server stands in for "host 4000".
        demo::LoopbackServer server;
        const std::string world = "127.0.0.1 " + std::to_string(server.Port());
        std::string input;
        for (const std::string& line : row)
            input += std::regex_replace(line, std::regex("host 4000"), world) + "\n";
        // `|read` reads what `|write` wrote.
        if (input.find("|read mine.zel") != std::string::npos) input = "|write mine.zel\n" + input;
        int in[2];
        ASSERT_EQ(pipe(in), 0);
        const pid_t child = fork();
        if (child == 0) {
            dup2(in[0], STDIN_FILENO);
            close(in[1]);
            const std::string command = "cd " + dir + " && exec env PATH=" + dir +
                                        ":/usr/bin:/bin EDITOR=true VISUAL=true " + ZEL_BINARY +
                                        " --headless > out 2> err";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        FILE* typed = fdopen(in[1], "w");
        // Connected before the row runs; the row's end is marked, then the world goes away
        // (also any world the row connected to again), so that the piped client ends.
        fprintf(typed, "|connect %s\n", world.c_str());
        fflush(typed);
        ASSERT_TRUE(server.Accept());
        fprintf(typed, "%s|echo ROW-DONE\\n\n", input.c_str());
        fclose(typed);
        const bool quits = input.find("|quit") != std::string::npos;
        EXPECT_TRUE(quits || WaitUntil([&] {
                        return ReadWholeFile(folder.Path() / "out").find("ROW-DONE") !=
                               std::string::npos;
                    }))
            << input;
        int status = 0;
        EXPECT_TRUE(WaitUntil([&] {
            server.CloseClient();
            server.Accept(std::chrono::milliseconds(10));
            return waitpid(child, &status, WNOHANG) == child;
        })) << input;
        HeadlessRun run;
        run.out = ReadWholeFile(folder.Path() / "out");
        run.error = ReadWholeFile(folder.Path() / "err");
        std::smatch error;
        EXPECT_FALSE(std::regex_search(run.out, error, kErrorMessage))
            << input << "printed: " << error.str() << "\n"
            << run.out;
        // Line mode says so when the settings a line changed go unsaved at the end.
        EXPECT_THAT(run.error, testing::AnyOf("", "zel: changed settings were not saved\n"))
            << input;
    }
}

}  // namespace
}  // namespace zel::test
