// TerminalScreen: the terminal's screen through ncursesw. It owns the curses screen (on the
// alternate screen, in raw mode with no echo), draws rows of styled text at the colour
// depth the terminal supports and gives the terminal back as it found it. Keys are not read
// here: libtermkey decodes them (TerminalKeys.h). User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "console/TerminalText.h"
#include "display/OutputFormats.h"
#include "display/TextFormat.h"

struct screen;

namespace zel {

// How a stretch of text looks: the effects curses can show and its two colours
// (kWindowDefaultColor for the terminal's own).
struct TextStyle {
    uint32_t effects = 0;  // style:: bits
    Color text = kWindowDefaultColor;
    Color back = kWindowDefaultColor;
    bool operator==(const TextStyle&) const = default;
};

namespace style {
constexpr uint32_t kBold = 1;
constexpr uint32_t kItalic = 2;
constexpr uint32_t kUnderline = 4;
constexpr uint32_t kInverse = 8;
}  // namespace style

// The style of an output format; colours equal to the view's defaults are the terminal's.
TextStyle StyleOf(const TextFormat& format, const OutputViewStyle& view);

// Text with styles: each run ends at a byte offset of `text`.
struct StyledText {
    struct Run {
        uint32_t end = 0;
        TextStyle style;
    };
    std::string text;  // UTF-8
    std::vector<Run> runs;
};

// The colours a terminal can show, from terminfo's colour count: 24-bit colour needs a
// direct-colour entry such as TERM=xterm-direct (2^24 colours), since curses sends colours
// only as terminfo describes them. Without colours, only effects are drawn.
struct ScreenColors {
    bool any = false;
    ColorDepth depth = ColorDepth::Ansi16;
};
ScreenColors ScreenColorsOf(int terminfoColors);

class TerminalScreen {
public:
    // Takes the terminal of `inputFd` and `outputFd`; throws when curses cannot start.
    TerminalScreen(int inputFd, int outputFd);
    ~TerminalScreen();
    TerminalScreen(const TerminalScreen&) = delete;
    TerminalScreen& operator=(const TerminalScreen&) = delete;

    int Columns() const;
    int Rows() const;
    // Takes the terminal's present size; true when it changed.
    bool Resize();
    // Hands the terminal back for a while (suspend, a foreground program) and takes it again.
    void Suspend();
    void Resume();
    // The bytes that give the terminal back (attributes, cursor, keypad, main screen), for
    // a signal handler that cannot call curses.
    std::string RestoreSequence() const;

    // A frame: Begin empties it, the Draw calls fill rows, End shows the difference.
    void BeginFrame();
    // Draws the cells [firstCell, firstCell + columns) of `text`'s bytes [begin, end) at
    // `row`, `column`; control characters show as a middle dot. Returns the columns used.
    int DrawText(int row, int column, const StyledText& text, uint32_t begin, uint32_t end,
                 uint32_t firstCell = 0);
    int DrawPlain(int row, int column, std::string_view utf8, TextStyle style);
    // Fills the rest of the row in `style`.
    void FillRow(int row, int column, TextStyle style);
    void EndFrame(int cursorRow, int cursorColumn);
    void Beep();

private:
    struct StyleHash {
        size_t operator()(const TextStyle& s) const
        {
            return std::hash<uint64_t>()(uint64_t(s.text) << 32 ^ s.back ^
                                         uint64_t(s.effects) << 60);
        }
    };
    // Sets the window's attributes for `style`.
    void Use(const TextStyle& style);
    int ColorNumber(Color color) const;

    int outputFd_;
    screen* screen_ = nullptr;
    ScreenColors colors_;
    std::unordered_map<TextStyle, int, StyleHash> pairs_;
    std::wstring cells_;  // scratch for a drawn stretch
};

}  // namespace zel
