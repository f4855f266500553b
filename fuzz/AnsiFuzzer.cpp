// Fuzz target: arbitrary bytes through an OutputBuffer, then every read a view makes.
// The first byte picks the maximum line count, whether ANSI is on and whether each append
// is preceded by a print's format push; the second picks the append size, so sequences and
// line-end pairs get cut at every position.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zel;
    if (size < 2) return 0;
    constexpr int32_t kMaxima[] = {0, 1, 2, 5, 100, -1, 16384, INT32_MAX};
    const uint8_t options = data[0];
    const size_t chunk = 1 + data[1];
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

    OutputBuffer buffer;
    buffer.SetMaximumLines(kMaxima[options & 7]);
    buffer.SetAnsiEnabled(!(options & 8));
    const bool push = options & 16;
    for (size_t format = 0; !rest.empty(); ++format) {
        if (push) buffer.PushFormat(DefaultOutputFormat(OutputFormat(format % kOutputFormatCount)));
        buffer.Append(rest.substr(0, chunk));
        rest.remove_prefix(std::min(chunk, rest.size()));
        if ((options & 32) && format == 3) buffer.Clear();
    }

    // Reads must stay inside the held lines and formats.
    size_t sum = 0;
    for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n) {
        const OutputLine* line = buffer.Line(n);
        for (const TextRun& run : line->Runs()) sum += buffer.Format(run.format).textColor;
        for (uint32_t column = 0; column <= line->Length(); column += 7) {
            sum += uint8_t(buffer.CharacterAt(n, column));
            if (auto word = buffer.WordAt(n, column)) sum += word->text.size();
        }
    }
    sum += buffer.TextBetween(0, 3, buffer.End() + 1, 2).size();
    sum += buffer.MemoryUsage();
    [[maybe_unused]] static volatile size_t keep;  // so the reads are not optimised away
    keep = sum;
    return 0;
}
