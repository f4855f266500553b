#include "lineedit/EditControl.h"

namespace zel {

void EditControl::SetText(std::string_view text)
{
    Select(0, Text().size());
    ReplaceSelection(text);
}

void EditControl::SelectAll()
{
    Select(0, Text().size());
}

void EditControl::SelectNone()
{
    const size_t end = Text().size();
    Select(end, end);
}

}  // namespace zel
