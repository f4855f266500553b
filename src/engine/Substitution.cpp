// Substitution of a segment just before it is handled: variables, escapes and function
// calls. Takes DefinitionLock for each variable look-up only, so that a function that
// prints (and so takes OutputLock) never runs with DefinitionLock held.
#include "engine/ClientWindow.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kUnrecognisedFunction[] = "Unrecognised function: '%s'\n";

char EscapedByte(char c)
{
    switch (c) {
        case 'a':
            return 7;
        case 'b':
            return 8;
        case 'e':
            return 27;
        case 'f':
            return 12;
        case 'n':
            return 10;
        case 'r':
            return 13;
        case 't':
            return 9;
        case 'v':
            return 11;
        default:
            return c;
    }
}

bool IsLetterOrDigit(char c)
{
    return IsLetter(c) || IsDigit(c);
}

size_t RunOf(std::string_view text, size_t i, bool (*test)(char))
{
    while (i < text.size() && test(text[i])) ++i;
    return i;
}

}  // namespace

void ClientWindow::SubstituteText(std::string_view text, std::string& output, size_t capacity)
{
    const char v = chars_.variable;
    const char e = chars_.escape;
    const size_t limit = capacity == 0 ? 0 : capacity - 1;
    output.clear();
    auto put = [&](char c) {
        if (output.size() < limit) output += c;
    };

    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : 0;
        if (c == v && i + 1 < n) {
            if (next == v) {
                put(v);
                i += 2;
            } else if (next == '@' && i + 2 < n) {
                size_t nameEnd = RunOf(text, i + 2, IsLetterOrDigit);
                std::string_view name = text.substr(i + 2, nameEnd - (i + 2));
                std::string_view arguments;
                i = nameEnd;
                if (i < n && text[i] == '(') {
                    size_t close = text.find(')', i + 1);
                    if (close == std::string_view::npos) close = n;
                    arguments = text.substr(i + 1, close - (i + 1));
                    i = close;
                }
                if (i < n) ++i;
                CallFunction(name.substr(0, kFunctionNameCapacity),
                             arguments.substr(0, kLineCapacity), output, capacity);
            } else if (next == '_' && i + 2 < n) {
                i = RunOf(text, i + 2, IsLetterOrDigit);
                if (i < n && text[i] == v) ++i;
            } else if (IsLetter(next)) {
                size_t nameEnd = RunOf(text, i + 1, IsLetter);
                std::string_view name = text.substr(i + 1, nameEnd - (i + 1));
                i = nameEnd;
                if (i < n && text[i] == v) ++i;
                std::scoped_lock lock(definitionLock_);
                const Variable* variable = variables_.Find(name);
                // A value is inserted whole or not at all.
                if (variable && output.size() + variable->value.size() < limit)
                    output += variable->value;
            } else {
                put(v);
                ++i;
            }
        } else if (c == e && i + 1 < n) {
            put(next == e ? e : EscapedByte(next));
            i += 2;
        } else {
            put(c);
            ++i;
        }
    }
}

void ClientWindow::CallFunction(std::string_view name, std::string_view arguments,
                                std::string& output, size_t capacity)
{
    const FunctionEntry* function = functions_.Find(name);
    if (!function) {
        PrintFormatted(OutputFormat::Error, kUnrecognisedFunction, std::string(name).c_str());
        return;
    }
    std::string result;
    if (function->handler(*this, name, arguments, result) == 0) {
        const size_t limit = capacity == 0 ? 0 : capacity - 1;
        output.append(result.substr(0, limit - std::min(limit, output.size())));
    }
}

}  // namespace zel
