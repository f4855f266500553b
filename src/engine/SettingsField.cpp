#include "engine/SettingsField.h"

#include "engine/WordReader.h"

namespace zel {

std::string EscapeSettingsField(const SpecialChars& chars, std::string_view text)
{
    std::string out;
    for (char c : text) {
        char prefix = 0;
        if (c == chars.escape || c == chars.beginArgument || c == chars.endArgument)
            prefix = chars.escape;
        else if (c == chars.variable)
            prefix = chars.variable;
        if (out.size() + (prefix ? 2 : 1) > kTextCapacity) break;
        if (prefix) out += prefix;
        out += c;
    }
    return out;
}

}  // namespace zel
