// The client's eight named output formats: every message names one of them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "display/TextFormat.h"

namespace zel {

enum class OutputFormat : uint8_t {
    Default,
    Highlight,
    Error,
    System,
    Header,
    Echo,
    Command,
    Prompt
};
constexpr size_t kOutputFormatCount = 8;

// "Output: Default", "Output: Highlight", ...
std::string_view OutputFormatName(OutputFormat format);
std::optional<OutputFormat> FindOutputFormat(std::string_view name);
TextFormat DefaultOutputFormat(OutputFormat format);

// The output views' own font, cell size and default colours (the `font` command and the
// output_ options set them; the views draw with them).
struct OutputViewStyle {
    std::string face = "Courier New";
    int32_t height = 16;
    int32_t width = 0;
    int32_t weight = 400;
    int32_t cellHeight = 0;
    int32_t cellWidth = 0;
    Color backColor = MakeColor(0, 0, 0);
    Color textColor = MakeColor(192, 192, 192);
};

// The global format, the eight named formats and the views' style, as held by the client.
struct OutputFormatSet {
    TextFormat global = DefaultTextFormat();
    std::array<TextFormat, kOutputFormatCount> named = Defaults();
    OutputViewStyle view;

    TextFormat& operator[](OutputFormat f) { return named[size_t(f)]; }
    const TextFormat& operator[](OutputFormat f) const { return named[size_t(f)]; }

    static std::array<TextFormat, kOutputFormatCount> Defaults();
};

}  // namespace zel
