#include "console/TerminalCharset.h"

#include <langinfo.h>
#include <locale.h>

#include "base/TextCodec.h"
#include "base/Utf8.h"

namespace zel {
namespace {

bool NamesUtf8OrAscii(std::string_view name)
{
    return name.empty() || name == "UTF-8" || name == "utf8" || name == "ANSI_X3.4-1968" ||
           name == "ASCII" || name == "US-ASCII";
}

}  // namespace

TerminalCharset::TerminalCharset()
{
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(0));
    if (!locale) return;
    const std::string name = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    if (!NamesUtf8OrAscii(name)) name_ = name;
}

TerminalCharset::TerminalCharset(std::string_view name)
{
    if (!NamesUtf8OrAscii(name)) name_ = name;
}

std::string TerminalCharset::FromUtf8(std::string_view text) const
{
    if (IsUtf8()) return std::string(text);
    return ConvertCharset(name_ + "//TRANSLIT", "UTF-8", ValidUtf8(text), "?");
}

std::string TerminalCharset::ToUtf8(std::string_view bytes) const
{
    if (IsUtf8()) return ValidUtf8(bytes);
    return ConvertCharset("UTF-8", name_, bytes, "\xEF\xBF\xBD");
}

}  // namespace zel
