#include "lang/SettingsWriter.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr size_t kHeadingWidth = 32;

// Argument characters to switch to, most readable first.
constexpr std::pair<char, char> kPreferredPairs[] = {{'<', '>'}, {'[', ']'}, {'(', ')'}};

// Argument characters for a line whose fields do not pair up the ones in force: two that
// appear nowhere in the line, or else two that pair up in every field. None when there are
// no such two.
std::optional<std::pair<char, char>> OtherArgumentChars(const SpecialChars& chars,
                                                        std::string_view words,
                                                        std::initializer_list<SettingsField> fields)
{
    std::array<bool, 256> reserved{};
    for (char c : words) reserved[static_cast<unsigned char>(c)] = true;
    for (char c : {chars.command, chars.split, chars.escape, chars.variable, chars.beginArgument,
                   chars.endArgument, chars.execute, chars.scope})
        reserved[static_cast<unsigned char>(c)] = true;
    // Letters and digits after the escape character would read as other characters.
    auto usable = [&reserved](char c) {
        return !reserved[static_cast<unsigned char>(c)] && c != 0 && !IsWhiteSpace(c) &&
               !IsLetter(c) && !IsDigit(c);
    };
    std::vector<std::array<uint32_t, 256>> counts(fields.size());
    std::array<bool, 256> present{};
    size_t f = 0;
    for (const SettingsField& field : fields) {
        counts[f].fill(0);
        for (char c : field.text) {
            ++counts[f][static_cast<unsigned char>(c)];
            present[static_cast<unsigned char>(c)] = true;
        }
        ++f;
    }
    auto absent = [&](char c) { return usable(c) && !present[static_cast<unsigned char>(c)]; };
    for (const auto& [begin, end] : kPreferredPairs)
        if (absent(begin) && absent(end)) return std::pair(begin, end);
    std::optional<char> first;
    for (int i = 1; i < 256; ++i) {
        if (!absent(char(i))) continue;
        if (first) return std::pair(*first, char(i));
        first = char(i);
    }
    // Every field holds as many of one as of the other, and they pair up.
    for (int b = 1; b < 256; ++b) {
        if (!usable(char(b))) continue;
        for (int e = 1; e < 256; ++e) {
            if (e == b || !usable(char(e))) continue;
            bool pairUp = true;
            f = 0;
            for (const SettingsField& field : fields) {
                pairUp = pairUp && counts[f][size_t(b)] == counts[f][size_t(e)] &&
                         ArgumentCharsPairUp(field.text, char(b), char(e));
                ++f;
            }
            if (pairUp) return std::pair(char(b), char(e));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string EscapeSettingsField(const SpecialChars& chars, std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == chars.escape || c == chars.beginArgument || c == chars.endArgument) {
            out += chars.escape;
            out += c;
        } else if (c == chars.variable) {
            out += c;
            out += c;
        } else if (c == '\n' || c == '\r') {
            // A line end would end the file's line; the substitution turns these back.
            out += chars.escape;
            out += c == '\n' ? 'n' : 'r';
        } else {
            out += c;
        }
    }
    return out;
}

bool ArgumentCharsPairUp(std::string_view text, char begin, char end)
{
    size_t depth = 0;
    for (char c : text) {
        if (c == begin) {
            ++depth;
        } else if (c == end) {
            if (depth == 0) return false;
            --depth;
        }
    }
    return depth == 0;
}

void SettingsWriter::Comment(std::string_view text)
{
    text_ += chars_.command;
    text_ += "rem";
    if (!text.empty()) text_ += ' ';
    // Reading runs the comment like any line: a line end, a split character or a function
    // call in a note or a file name must stay inside it.
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            text_ += ' ';
        } else if (c == chars_.split) {
            text_ += chars_.escape;
            text_ += c;
        } else if (c == chars_.variable) {
            text_ += c;
            text_ += c;
        } else {
            text_ += c;
        }
    }
    text_ += '\n';
}

void SettingsWriter::Heading(std::string_view title)
{
    std::string line = "-------- ";
    line += title;
    line += ' ';
    if (line.size() < kHeadingWidth) line.append(kHeadingWidth - line.size(), '-');
    Comment(line);
}

void SettingsWriter::PlainCommand(std::string_view words)
{
    text_ += chars_.command;
    text_ += words;
    text_ += '\n';
}

void SettingsWriter::Command(std::string_view words, std::initializer_list<SettingsField> fields,
                             std::string_view tail)
{
    bool pairUp = true;
    for (const SettingsField& field : fields)
        pairUp =
            pairUp && ArgumentCharsPairUp(field.text, chars_.beginArgument, chars_.endArgument);
    const auto other = pairUp ? std::nullopt : OtherArgumentChars(chars_, words, fields);
    if (!other) {
        AppendCommand(chars_, words, fields, tail);
        return;
    }
    SpecialChars switched = chars_;
    switched.beginArgument = other->first;
    switched.endArgument = other->second;
    SwitchArgumentChars(other->first, other->second);
    AppendCommand(switched, words, fields, tail);
    SwitchArgumentChars(chars_.beginArgument, chars_.endArgument);
}

void SettingsWriter::AppendCommand(const SpecialChars& chars, std::string_view words,
                                   std::initializer_list<SettingsField> fields,
                                   std::string_view tail)
{
    text_ += chars.command;
    text_ += words;
    for (const SettingsField& field : fields) {
        text_ += ' ';
        text_ += chars.beginArgument;
        if (field.kind == SettingsField::Kind::Plain) {
            text_ += field.text;
        } else {
            // A name holding the scope character is read from after its second one.
            if (field.kind == SettingsField::Kind::ScopedName &&
                field.text.find(chars.scope) != std::string_view::npos)
                text_.append(2, chars.scope);
            text_ += EscapeSettingsField(chars, field.text);
        }
        text_ += chars.endArgument;
    }
    if (!tail.empty()) {
        text_ += ' ';
        text_ += tail;
    }
    text_ += '\n';
}

void SettingsWriter::SwitchArgumentChars(char begin, char end)
{
    text_ += chars_.command;
    text_ += "option achars ";
    text_ += chars_.escape;
    text_ += begin;
    text_ += ' ';
    text_ += chars_.escape;
    text_ += end;
    text_ += '\n';
}

}  // namespace zel
