// The terminal interface's pure parts: key decoding from the terminal's bytes, the screen's
// rows, wrapping and the input line's horizontal scroll.
#include <termkey.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "terminal/ScreenLayout.h"
#include "terminal/TerminalKeys.h"

namespace zel {
namespace {

// The keys libtermkey decodes from `bytes` as an xterm sends them.
std::vector<TerminalKey> Decode(const std::string& bytes)
{
    TermKey* keys = termkey_new_abstract("xterm", TERMKEY_FLAG_UTF8 | TERMKEY_FLAG_CTRLC);
    termkey_set_canonflags(keys, termkey_get_canonflags(keys) | TERMKEY_CANON_DELBS);
    termkey_push_bytes(keys, bytes.data(), bytes.size());
    std::vector<TerminalKey> decoded;
    TermKeyKey key;
    TermKeyResult result;
    while ((result = termkey_getkey_force(keys, &key)) == TERMKEY_RES_KEY) {
        if (auto k = DecodeTerminalKey(key)) decoded.push_back(*k);
    }
    termkey_destroy(keys);
    return decoded;
}

TEST(TerminalKeys, DecodeIntoTheClientsKeyCodes)
{
    using namespace key;
    struct Case {
        const char* bytes;
        TerminalKey key;
    } cases[] = {
        {"a", {'A', U'a'}},
        {"A", {kShift | 'A', U'A'}},
        {"7", {'7', U'7'}},
        {" ", {kSpace, U' '}},
        {"\xc3\xa9", {0, U'\u00e9'}},
        {"\xe6\x97\xa5", {0, U'\u65e5'}},
        {"\x01", {kControl | 'A', 0}},
        {"\x03", {kControl | 'C', 0}},
        {"\x1a", {kControl | 'Z', 0}},
        {"\x7f", {kBackspace, 0}},
        {"\t", {kTab, 0}},
        {"\x1b[Z", {kShift | kTab, 0}},
        {"\r", {kReturn, 0}},
        {"\x1b", {kEscape, 0}},
        {"\x1b[A", {kUp, 0}},
        {"\x1bOB", {kDown, 0}},
        {"\x1b[1;5C", {kControl | kRight, 0}},
        {"\x1b[1;3D", {kAlt | kLeft, 0}},
        {"\x1b[5~", {kPageUp, 0}},
        {"\x1b[6~", {kPageDown, 0}},
        {"\x1b[3~", {kDelete, 0}},
        {"\x1b[2~", {kInsert, 0}},
        {"\x1b[H", {kHome, 0}},
        {"\x1b[F", {kEnd, 0}},
        {"\x1bOP", {Function(1), 0}},
        {"\x1b[15~", {Function(5), 0}},
        {"\x1b[15;2~", {kShift | Function(5), 0}},
        {"\x1b[24~", {Function(12), 0}},
        {"\x1b[15;5~", {kControl | Function(5), 0}},
        {"\x1b[1;3P", {kAlt | Function(1), 0}},
        {"\x1b"
         "b",
         {kAlt | 'B', 0}},
        {"\x1b"
         "4",
         {kAlt | '4', 0}},
    };
    for (const Case& c : cases) {
        const std::vector<TerminalKey> keys = Decode(c.bytes);
        ASSERT_EQ(keys.size(), 1u) << testing::PrintToString(std::string(c.bytes));
        EXPECT_EQ(keys[0].code, c.key.code) << testing::PrintToString(std::string(c.bytes));
        EXPECT_EQ(keys[0].text, c.key.text) << testing::PrintToString(std::string(c.bytes));
    }
}

TEST(TerminalKeys, OddAndCutShortSequencesGiveNoStrayText)
{
    // Unknown CSI sequences, mouse reports and a sequence cut short type nothing; the keys
    // after them still arrive.
    const std::vector<TerminalKey> keys = Decode(
        "\x1b[999;9z\x1b[M !!x\x1b[<0;1;1M"
        "y\x1b[");
    std::u32string typed;
    for (const TerminalKey& k : keys)
        if (k.text) typed += k.text;
    EXPECT_NE(typed.find(U'x'), std::u32string::npos);
    EXPECT_NE(typed.find(U'y'), std::u32string::npos);
    EXPECT_EQ(typed.find(U'['), std::u32string::npos);
    EXPECT_EQ(typed.find(U'<'), std::u32string::npos);
}

TEST(ScreenLayout, PartsGiveWayFromTheTopWhenRowsAreFew)
{
    EXPECT_EQ(LayOutScreen(100, 30, false), (ScreenLayout{100, 28, 27, -1, 28, 29}));
    EXPECT_EQ(LayOutScreen(100, 30, true), (ScreenLayout{100, 27, 26, 27, 28, 29}));
    EXPECT_EQ(LayOutScreen(80, 3, true), (ScreenLayout{80, 0, -1, 0, 1, 2}));
    EXPECT_EQ(LayOutScreen(80, 2, true), (ScreenLayout{80, 0, -1, -1, 0, 1}));
    EXPECT_EQ(LayOutScreen(80, 1, true), (ScreenLayout{80, 0, -1, -1, 0, -1}));
    EXPECT_EQ(LayOutScreen(0, 0, true), (ScreenLayout{0, 0, -1, -1, -1, -1}));
}

TEST(ScreenLayout, LinesWrapAtCellsAndWideCharactersStayWhole)
{
    EXPECT_EQ(RowStarts("", 10), (std::vector<uint32_t>{0}));
    EXPECT_EQ(RowStarts("abcdefghij", 10), (std::vector<uint32_t>{0}));
    EXPECT_EQ(RowStarts("abcdefghijk", 10), (std::vector<uint32_t>{0, 10}));
    // Three CJK characters (two cells, three bytes each) in five columns: two on a row.
    EXPECT_EQ(RowStarts("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", 5), (std::vector<uint32_t>{0, 6}));
    // A row too narrow for a wide character still holds one: no endless wrapping.
    EXPECT_EQ(RowStarts("\xe6\x97\xa5\xe6\x9c\xac", 1), (std::vector<uint32_t>{0, 3}));
    EXPECT_EQ(RowStarts("abc", 0), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(RowStarts(std::string(100000, 'x'), 10000).size(), 10u);
}

TEST(ScreenLayout, InputLineScrollsToKeepTheCursorShown)
{
    EXPECT_EQ(InputFirstCell(5, 10, 0), 0u);
    EXPECT_EQ(InputFirstCell(10, 10, 0), 1u);
    EXPECT_EQ(InputFirstCell(25, 10, 0), 16u);
    EXPECT_EQ(InputFirstCell(20, 10, 16), 16u);
    EXPECT_EQ(InputFirstCell(3, 10, 16), 3u);
    EXPECT_EQ(InputFirstCell(7, 0, 0), 7u);
}

}  // namespace
}  // namespace zel
