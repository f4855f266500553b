#include "terminal/TerminalScreen.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "base/Utf8.h"

// curses.h defines macros (erase, clear, move, ...) that clash with member names elsewhere;
// it is included last and only here.
#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <term.h>

namespace zel {
namespace {

constexpr int kDirectColors = 1 << 24;
constexpr char32_t kMiddleDot = 0xB7;

// Control characters never reach the terminal: they show as a dot.
wchar_t Shown(char32_t c)
{
    return wchar_t(c < 0x20 || (c >= 0x7F && c < 0xA0) ? kMiddleDot : c);
}

std::string Capability(const char* name)
{
    char* value = tigetstr(name);
    if (value == nullptr || value == reinterpret_cast<char*>(-1)) return {};
    return value;
}

FILE* OpenStream(int fd, const char* mode)
{
    const int copy = dup(fd);
    FILE* stream = copy >= 0 ? fdopen(copy, mode) : nullptr;
    if (!stream && copy >= 0) close(copy);
    return stream;
}

}  // namespace

TextStyle StyleOf(const TextFormat& format, const OutputViewStyle& view)
{
    TextStyle style;
    if (format.weight >= 700) style.effects |= style::kBold;
    if (format.effects & effect::kItalic) style.effects |= style::kItalic;
    if (format.effects & effect::kUnderline) style.effects |= style::kUnderline;
    if ((format.mask & mask::kInverse) && (format.effects & effect::kInverse))
        style.effects |= style::kInverse;
    if (format.textColor != view.textColor) style.text = format.textColor;
    if (format.backColor != view.backColor) style.back = format.backColor;
    return style;
}

ScreenColors ScreenColorsOf(int terminfoColors)
{
    ScreenColors colors;
    colors.any = terminfoColors >= 8;
    if (terminfoColors >= kDirectColors) {
        colors.depth = ColorDepth::TrueColor;  // a direct-colour entry takes 0xRRGGBB
    } else if (terminfoColors >= 256) {
        colors.depth = ColorDepth::Palette256;
    }
    return colors;
}

TerminalScreen::TerminalScreen(int inputFd, int outputFd) : outputFd_(outputFd)
{
    FILE* out = OpenStream(outputFd, "w");
    FILE* in = OpenStream(inputFd, "r");
    if (out && in) screen_ = newterm(nullptr, out, in);
    if (!screen_) {
        if (out) fclose(out);
        if (in) fclose(in);
        throw std::runtime_error("the terminal cannot be used full-screen (TERM is not known)");
    }
    raw();
    noecho();
    nonl();
    typeahead(-1);  // keys are libtermkey's: curses never looks at the input
    intrflush(stdscr, FALSE);
    leaveok(stdscr, FALSE);
    if (has_colors() && start_color() == OK) {
        use_default_colors();
        colors_ = ScreenColorsOf(COLORS);
    }
}

TerminalScreen::~TerminalScreen()
{
    endwin();
    delscreen(screen_);
}

int TerminalScreen::Columns() const
{
    return COLS;
}

int TerminalScreen::Rows() const
{
    return LINES;
}

bool TerminalScreen::Resize()
{
    winsize size{};
    if (ioctl(outputFd_, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0)
        return false;
    if (size.ws_col == COLS && size.ws_row == LINES) return false;
    resizeterm(size.ws_row, size.ws_col);
    return true;
}

void TerminalScreen::Suspend()
{
    endwin();
}

void TerminalScreen::Resume()
{
    reset_prog_mode();
    clearok(curscr, TRUE);
}

std::string TerminalScreen::RestoreSequence() const
{
    return Capability("sgr0") + Capability("cnorm") + Capability("rmkx") + Capability("rmcup");
}

void TerminalScreen::BeginFrame()
{
    werase(stdscr);
}

int TerminalScreen::ColorNumber(Color color) const
{
    if (color == kWindowDefaultColor) return -1;
    const int number = int(TerminalColorNumber(color, colors_.depth));
    return colors_.depth == ColorDepth::Ansi16 && COLORS < 16 ? number % 8 : number;
}

void TerminalScreen::Use(const TextStyle& style)
{
    attr_t attributes = A_NORMAL;
    if (style.effects & style::kBold) attributes |= A_BOLD;
    if (style.effects & style::kItalic) attributes |= A_ITALIC;
    if (style.effects & style::kUnderline) attributes |= A_UNDERLINE;
    if (style.effects & style::kInverse) attributes |= A_REVERSE;
    int pair = 0;
    if (colors_.any && (style.text != kWindowDefaultColor || style.back != kWindowDefaultColor)) {
        auto found = pairs_.find(style);
        if (found == pairs_.end()) {
            // alloc_pair reuses the least recently allocated pair when all are taken.
            pair = std::max(alloc_pair(ColorNumber(style.text), ColorNumber(style.back)), 0);
            if (pairs_.size() > size_t(COLOR_PAIRS)) pairs_.clear();
            pairs_.emplace(style, pair);
        } else {
            pair = found->second;
        }
    }
    wattr_set(stdscr, attributes, 0, &pair);
}

int TerminalScreen::DrawText(int row, int column, const StyledText& text, uint32_t begin,
                             uint32_t end, uint32_t firstCell)
{
    if (row < 0 || row >= LINES || column >= COLS) return 0;
    const std::string_view bytes = text.text;
    end = std::min<uint32_t>(end, uint32_t(bytes.size()));
    const int limit = COLS - column;
    int used = 0;
    uint32_t cell = 0;  // cells of the text passed, shown or skipped
    wmove(stdscr, row, column);
    uint32_t at = begin;
    for (const StyledText::Run& run : text.runs) {
        if (run.end <= at) continue;
        cells_.clear();
        const uint32_t runEnd = std::min(run.end, end);
        bool full = false;
        while (at < runEnd) {
            const Utf8Char c = DecodeUtf8At(bytes, at);
            const int width = CellWidth(c.code);
            if (cell >= firstCell) {
                if (used + width > limit) {
                    full = true;
                    break;
                }
                cells_ += Shown(c.code);
                used += width;
            }
            cell += uint32_t(width);
            at += c.length;
        }
        if (!cells_.empty()) {
            Use(run.style);
            waddnwstr(stdscr, cells_.data(), int(cells_.size()));
        }
        if (full || at >= end) break;
    }
    return used;
}

int TerminalScreen::DrawPlain(int row, int column, std::string_view utf8, TextStyle style)
{
    StyledText text;
    text.text.assign(utf8);
    text.runs.push_back({uint32_t(utf8.size()), style});
    return DrawText(row, column, text, 0, uint32_t(utf8.size()));
}

void TerminalScreen::FillRow(int row, int column, TextStyle style)
{
    if (row < 0 || row >= LINES || column >= COLS) return;
    Use(style);
    wmove(stdscr, row, column);
    for (int x = column; x < COLS; ++x) waddch(stdscr, ' ');
}

void TerminalScreen::EndFrame(int cursorRow, int cursorColumn)
{
    wattr_set(stdscr, A_NORMAL, 0, nullptr);
    if (cursorRow >= 0 && cursorRow < LINES) {
        wmove(stdscr, cursorRow, std::min(cursorColumn, COLS - 1));
        curs_set(1);
    } else {
        curs_set(0);
    }
    wnoutrefresh(stdscr);
    doupdate();
}

void TerminalScreen::Beep()
{
    beep();
}

}  // namespace zel
