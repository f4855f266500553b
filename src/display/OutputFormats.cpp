// The eight named output formats: their names and their default contents.
#include "display/OutputFormats.h"

namespace zel {

namespace {

constexpr std::array<std::string_view, kOutputFormatCount> kNames{
    "Output: Default", "Output: Highlight", "Output: Error",   "Output: System",
    "Output: Header",  "Output: Echo",      "Output: Command", "Output: Prompt",
};

// The full formats (Default, Prompt) set everything a message needs; the others set only
// weight, underline and text colour, and inherit the rest from the format in force.
constexpr uint32_t kFullMask = 0x78F;
constexpr uint32_t kColorMask = mask::kWeight | mask::kUnderline | mask::kTextColor;

TextFormat Full(Color back, Color text)
{
    TextFormat f;
    f.mask = kFullMask;
    f.height = 16;
    f.weight = 400;
    f.backColor = back;
    f.textColor = text;
    f.SetFace("Courier New");
    return f;
}

TextFormat Colored(Color text, bool underline = false)
{
    TextFormat f;
    f.mask = kColorMask;
    f.effects = underline ? effect::kUnderline : 0;
    f.weight = 400;
    f.textColor = text;
    return f;
}

}  // namespace

std::string_view OutputFormatName(OutputFormat format)
{
    size_t i = size_t(format);
    return i < kNames.size() ? kNames[i] : std::string_view();
}

std::optional<OutputFormat> FindOutputFormat(std::string_view name)
{
    for (size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return OutputFormat(i);
    return std::nullopt;
}

TextFormat DefaultOutputFormat(OutputFormat format)
{
    // Colours as 32-bit values, red in the lowest byte: 0x8080FF is a light red.
    switch (format) {
        case OutputFormat::Default:
            return Full(0x000000, 0xC0C0C0);
        case OutputFormat::Highlight:
            return Colored(0xFFFFFF);
        case OutputFormat::Error:
            return Colored(0x8080FF);
        case OutputFormat::System:
            return Colored(0xC0FFC0);
        case OutputFormat::Header:
            return Colored(0xC0FFC0, true);
        case OutputFormat::Echo:
            return Colored(0xC0FFFF);
        case OutputFormat::Command:
            return Colored(0xFFFFFF);
        case OutputFormat::Prompt:
            return Full(0x404040, 0xFFFFFF);
    }
    return Full(0x000000, 0xC0C0C0);
}

std::array<TextFormat, kOutputFormatCount> OutputFormatSet::Defaults()
{
    std::array<TextFormat, kOutputFormatCount> formats;
    for (size_t i = 0; i < kOutputFormatCount; ++i)
        formats[i] = DefaultOutputFormat(OutputFormat(i));
    return formats;
}

}  // namespace zel
