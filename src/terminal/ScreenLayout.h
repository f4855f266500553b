// ScreenLayout: the arithmetic of the terminal screen, apart from curses: which rows the
// output, tip, prompt line, input line and status line take, where long lines wrap, and
// which part of a long input line shows.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zel {

// From the top: the output, the prompt line, the input line, the status line; the tip
// covers the output's last row, so that showing it never changes the view's size. A row of
// -1 is not shown. When rows are few the input line stays longest, then the status line
// and the prompt line; the output gets what is left.
struct ScreenLayout {
    int columns = 0;
    int outputRows = 0;  // from row 0
    int tipRow = -1;
    int promptRow = -1;
    int inputRow = -1;
    int statusRow = -1;
    bool operator==(const ScreenLayout&) const = default;
};

ScreenLayout LayOutScreen(int columns, int rows, bool promptShown);

// The byte offsets where the rows of `text` start when it is wrapped at `columns` cells
// (at least one character a row; a wide character that does not fit starts the next row).
// Always holds 0, so an empty line takes one row.
std::vector<uint32_t> RowStarts(std::string_view text, int columns);

// The first cell of an input line `width` cells wide that shows the cursor at `cursorCell`,
// moving as little as it can from `previousFirst`.
uint32_t InputFirstCell(uint32_t cursorCell, int width, uint32_t previousFirst);

}  // namespace zel
