// The names of the internal actions, as key bindings and settings files spell them.
#include "input/InternalActions.h"

#include <array>

#include "lang/WordReader.h"

namespace zel {
namespace {

struct NamedAction {
    int code;
    std::string_view name;
};

// clang-format off
constexpr NamedAction kNamedActions[] = {
    {0, "NONE"}, {1, "EXEC"}, {2, "EXEC_EMPTY"},
    {3, "EXEC_1"}, {4, "EXEC_2"}, {5, "EXEC_3"}, {6, "EXEC_4"}, {7, "EXEC_5"},
    {8, "EXEC_6"}, {9, "EXEC_7"}, {10, "EXEC_8"}, {11, "EXEC_9"}, {12, "EXEC_10"},
    {13, "ESCAPE"},
    {16, "SCROLL_LINEUP"}, {17, "SCROLL_LINEDOWN"}, {18, "SCROLL_PAGEUP"},
    {19, "SCROLL_PAGEDOWN"}, {20, "SCROLL_LEFT"}, {21, "SCROLL_RIGHT"}, {22, "SCROLL_TOP"},
    {23, "SCROLL_BOTTOM"}, {24, "SCROLL_ON"}, {25, "SCROLL_OFF"}, {26, "SCROLL_TOGGLE"},
    {27, "SCROLL_SIZE_INC"}, {28, "SCROLL_SIZE_DEC"},
    {32, "HIST_LINEUP"}, {33, "HIST_LINEDOWN"}, {34, "HIST_PAGEUP"}, {35, "HIST_PAGEDOWN"},
    {36, "HIST_TOP"}, {37, "HIST_BOTTOM"}, {38, "HIST_ON"}, {39, "HIST_OFF"},
    {40, "HIST_TOGGLE"}, {41, "HIST_SIZE_INC"}, {42, "HIST_SIZE_DEC"}, {43, "HIST_DESELECT"},
    {44, "HIST_RUN"},
    {48, "COMPLETION_ADD"}, {49, "COMPLETION_DEL"}, {50, "COMPLETION_NEXT"},
    {51, "COMPLETION_PREV"},
    {64, "OUTPUT_COPY"}, {65, "CLIP_CUT"}, {66, "CLIP_COPY"}, {67, "CLIP_PASTE"}, {68, "DEL"},
    {69, "CLEAR"}, {70, "SELECT_ALL"}, {71, "SELECT_NONE"}, {72, "INSERT"},
    {73, "HARD_SPACE"}, {74, "HARD_RETURN"}, {75, "HARD_TAB"},
    {80, "SETUP_ALIASES"}, {81, "SETUP_BINDINGS"}, {82, "SETUP_COMPLETIONS"},
    {83, "SETUP_SYNTAXES"}, {84, "SETUP_ACTIONS"}, {85, "SETUP_TIMERS"},
    {86, "SETUP_VARIABLES"}, {87, "SETUP_SCRIPTS"}, {88, "SETUP_SETUP"},
    {96, "SETUP_NEW_ALIAS"}, {97, "SETUP_NEW_BINDING"}, {98, "SETUP_NEW_COMPLETION"},
    {99, "SETUP_NEW_SYNTAX"}, {100, "SETUP_NEW_ACTION"}, {101, "SETUP_NEW_TIMER"},
    {102, "SETUP_NEW_VARIABLE"}, {103, "SETUP_NEW_SCRIPT"},
    {112, "QUIT"}, {113, "FULLSCREEN"},
    {255, "FORCE_KEYCODE"},
};
// clang-format on

constexpr std::array<std::string_view, 256> kNames = [] {
    std::array<std::string_view, 256> names{};
    for (const NamedAction& a : kNamedActions) names[size_t(a.code)] = a.name;
    return names;
}();

}  // namespace

std::string_view ActionName(int code)
{
    return code >= 0 && code < int(kNames.size()) ? kNames[size_t(code)] : std::string_view();
}

int FindAction(std::string_view name)
{
    for (int code = 1; code < int(kNames.size()); ++code)
        if (!kNames[size_t(code)].empty() && EqualsIgnoringCase(kNames[size_t(code)], name))
            return code;
    return -1;
}

}  // namespace zel
