// The eight special characters of the command language. Compared as bytes; nothing stops
// two of them from being equal, and the order of the interpreter's tests decides.
#pragma once

namespace zel {

struct SpecialChars {
    char command = '|';
    char split = ';';
    char escape = '\\';
    char variable = '$';
    char beginArgument = '{';
    char endArgument = '}';
    char execute = '!';
    char scope = '.';
};

}  // namespace zel
