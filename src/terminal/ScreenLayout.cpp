#include "terminal/ScreenLayout.h"

#include <algorithm>

#include "base/Utf8.h"

namespace zel {

ScreenLayout LayOutScreen(int columns, int rows, bool promptShown)
{
    ScreenLayout layout;
    layout.columns = std::max(columns, 0);
    int free = std::max(rows, 0);
    // Each part takes a row from the bottom up, in the order they give way.
    auto take = [&](bool wanted) { return wanted && free > 0 ? --free : -1; };
    const int input = take(true);
    const int status = take(true);
    const int prompt = take(promptShown);
    // The parts that got a row are placed from the bottom: status, input, prompt.
    int row = std::max(rows, 0);
    auto place = [&](int granted) { return granted >= 0 ? --row : -1; };
    layout.statusRow = place(status);
    layout.inputRow = place(input);
    layout.promptRow = place(prompt);
    layout.outputRows = row;
    layout.tipRow = row > 0 ? row - 1 : -1;
    return layout;
}

std::vector<uint32_t> RowStarts(std::string_view text, int columns)
{
    std::vector<uint32_t> starts{0};
    const int width = std::max(columns, 1);
    int used = 0;
    for (size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8At(text, at);
        const int cells = CellWidth(c.code);
        if (used > 0 && used + cells > width) {
            starts.push_back(uint32_t(at));
            used = 0;
        }
        used += cells;
        at += c.length;
    }
    return starts;
}

uint32_t InputFirstCell(uint32_t cursorCell, int width, uint32_t previousFirst)
{
    // The last column is kept for the cursor after the end of the text.
    const uint32_t shown = uint32_t(std::max(width, 1));
    if (cursorCell < previousFirst) return cursorCell;
    if (cursorCell >= previousFirst + shown) return cursorCell - shown + 1;
    return previousFirst;
}

}  // namespace zel
