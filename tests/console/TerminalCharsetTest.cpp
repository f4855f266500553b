#include <gtest/gtest.h>

#include "console/TerminalCharset.h"

namespace zel {
namespace {

TEST(TerminalCharset, ALatin1TerminalGetsItsOwnBytes)
{
    const TerminalCharset latin1("ISO-8859-1");
    EXPECT_FALSE(latin1.IsUtf8());
    EXPECT_EQ(latin1.ToUtf8("caf\xE9"), "caf\xC3\xA9");
    const std::string shown = latin1.FromUtf8("caf\xC3\xA9 \xE6\x97\xA5");
    EXPECT_TRUE(shown.starts_with("caf\xE9 ")) << shown;
    EXPECT_EQ(shown.find('\xE6'), std::string::npos);  // no UTF-8 byte reaches it
}

TEST(TerminalCharset, AsciiAndUtf8TerminalsTakeUtf8)
{
    for (const char* name : {"UTF-8", "ANSI_X3.4-1968", ""}) {
        const TerminalCharset charset(name);
        EXPECT_TRUE(charset.IsUtf8()) << name;
        EXPECT_EQ(charset.FromUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
        EXPECT_EQ(charset.ToUtf8("caf\xE9"), "caf\xEF\xBF\xBD");  // not UTF-8: replaced
    }
}

}  // namespace
}  // namespace zel
