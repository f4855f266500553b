// The output commands as a module: the command-table rows and settings sections.
#include "display/commands/DisplayCommands.h"

namespace zel {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"clear", 7, CmdClear,
     "|clear [string]",
     "empties or sets the text in the output window"},
    {"font", 17, CmdFont,
     "|font <font-face> [font-height] [font-width] [cell-height] [cell-width]",
     "sets the global default font"},
};
// clang-format on

constexpr SectionRow kSections[] = {
    {"FORMATS", WriteFormatSettings},
};

}  // namespace

const Module kDisplayModule = {"display", kRows, kSections};

}  // namespace zel
