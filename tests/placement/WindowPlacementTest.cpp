// The main window's rectangle: placed on the desktop at creation from the stored values, kept
// in a settings file of the user's between runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <atomic>
#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "placement/WindowPlacement.h"

namespace zel {
namespace {

const DesktopSize kDesktop{1920, 1080};
const WindowRect kQuarter{480, 270, 1440, 810};

TEST(WindowPlacement, StoredValuesAreKeptOnTheDesktop)
{
    EXPECT_EQ(PlaceWindow(kDesktop, {}), kQuarter);
    // Each value there is replaces its default; the others stay.
    EXPECT_EQ(PlaceWindow(kDesktop, {-300, std::nullopt, std::nullopt, 1000}),
              (WindowRect{-300, 270, 1440, 1000}));
    // Wider or taller than the desktop: narrowed to it from the left or top edge.
    EXPECT_EQ(PlaceWindow(kDesktop, {10, 20, 3000, 2000}), (WindowRect{10, 20, 1930, 1100}));
    // Starting beyond the desktop: brought back so that a strip of it shows.
    EXPECT_EQ(PlaceWindow(kDesktop, {1921, 1081, 2000, 1200}), (WindowRect{1800, 960, 2000, 1200}));
    // At the very edge is still on the desktop.
    EXPECT_EQ(PlaceWindow(kDesktop, {1920, 1080, 2000, 1200}),
              (WindowRect{1920, 1080, 2000, 1200}));
    // Both rules at once: the width is cut first, from the stored left.
    EXPECT_EQ(PlaceWindow(kDesktop, {5000, 0, 9000, 500}), (WindowRect{1800, 0, 6920, 500}));
    // The widest stored span does not overflow.
    EXPECT_EQ(PlaceWindow(kDesktop, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}),
              (WindowRect{INT32_MIN, INT32_MIN, INT32_MIN + 1920, INT32_MIN + 1080}));
}

// A desktop host: its window's rectangle is what the test says.
class DesktopHost : public NullHost {
public:
    std::optional<DesktopSize> GetDesktopSize() override { return desktop; }
    std::optional<WindowRect> GetWindowRect() override { return window; }
    std::optional<DesktopSize> desktop = DesktopSize{1600, 900};
    std::optional<WindowRect> window;
};

// The user's settings live in a folder of the test's own.
class StoredPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir_.string()));
    }
    std::filesystem::path File() const { return dir_ / "Lumenhall" / "ZEL.conf"; }
    void WriteFile(const std::string& text) const
    {
        std::filesystem::create_directories(File().parent_path());
        std::ofstream(File()) << text;
    }
    // The file's "name=value" lines.
    std::map<std::string, std::string> Values() const
    {
        std::map<std::string, std::string> values;
        std::istringstream in(test::ReadWholeFile(File()));
        for (std::string line; std::getline(in, line);)
            if (size_t equals = line.find('='); equals != std::string::npos)
                values[line.substr(0, equals)] = line.substr(equals + 1);
        return values;
    }

    test::TempFolder folder_{"zel-placement"};
    const std::filesystem::path& dir_ = folder_.Path();
};

TEST_F(StoredPlacement, FirstRunStartsInTheMiddleAndStoresTheFourValues)
{
    DesktopHost host;
    {
        ClientWindow client(host, AllModules());
        EXPECT_EQ(client.WindowRectangle(), (WindowRect{400, 225, 1200, 675}));
        EXPECT_FALSE(std::filesystem::exists(File()));
    }
    const std::map<std::string, std::string> expected{
        {"left", "400"}, {"top", "225"}, {"right", "1200"}, {"bottom", "675"}};
    EXPECT_EQ(Values(), expected);
}

TEST_F(StoredPlacement, TheRectangleAtCloseIsWhereTheNextRunStarts)
{
    // A value that is no 32-bit number counts as missing.
    WriteFile("[General]\nleft=10\ntop=99999999999\nright=810\nbottom=lots\n");
    DesktopHost host;
    {
        ClientWindow client(host, AllModules());
        EXPECT_EQ(client.WindowRectangle(), (WindowRect{10, 225, 810, 675}));
        // Minimized: there is no rectangle to take.
        client.CaptureWindowRect();
        EXPECT_EQ(client.WindowRectangle(), (WindowRect{10, 225, 810, 675}));
        host.window = WindowRect{-40, 30, 700, 2000};
        client.CaptureWindowRect();
        host.window = WindowRect{1, 2, 3, 4};  // moved after closing: not taken
    }
    const std::map<std::string, std::string> expected{
        {"left", "-40"}, {"top", "30"}, {"right", "700"}, {"bottom", "2000"}};
    EXPECT_EQ(Values(), expected);
    // Taller than this desktop: the next run narrows it.
    ClientWindow next(host, AllModules());
    EXPECT_EQ(next.WindowRectangle(), (WindowRect{-40, 30, 700, 930}));
}

TEST_F(StoredPlacement, WithoutADesktopNothingIsReadOrWritten)
{
    NullHost host;
    {
        ClientWindow client(host, AllModules());
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Lumenhall"));

    const std::string stored = "[General]\nleft=1\ntop=2\nright=3\nbottom=4\n";
    WriteFile(stored);
    {
        ClientWindow client(host, AllModules());
        EXPECT_EQ(client.WindowRectangle(), WindowRect{});
    }
    EXPECT_EQ(test::ReadWholeFile(File()), stored);
}

}  // namespace
}  // namespace zel
