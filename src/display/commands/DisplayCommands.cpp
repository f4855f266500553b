// The display commands: `clear` empties the output buffer, `font` sets the face and size of
// the client's formats and of both output views.
#include <algorithm>
#include <mutex>
#include <string>

#include "display/commands/DisplayCommands.h"
#include "engine/ClientWindow.h"
#include "lang/WordReader.h"

namespace zel {

namespace {

constexpr int32_t kMinimumFontHeight = 5;
// Views divide by these and add them to pixel sizes: keep them in a range that cannot
// overflow a view's geometry.
constexpr int32_t kMaximumFontSize = 1000;
constexpr int32_t kViewWeight = 400;

}  // namespace

// User-interface thread. Takes OutputLock.
int32_t CmdClear(ClientWindow& client, uint32_t, std::string_view)
{
    {
        std::scoped_lock lock(client.OutputLock());
        client.Output().Clear();
    }
    client.GetHost().RepaintOutput();
    return 0;
}

// font <face> [height] [width] [cell-height] [cell-width]
int32_t CmdFont(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string face;
    reader.NextWord(face);
    int32_t height = 0, width = 0, cellHeight = 0, cellWidth = 0;
    const bool hasHeight = reader.NextNumber(height);
    const bool hasWidth = reader.NextNumber(width);
    reader.NextNumber(cellHeight);
    reader.NextNumber(cellWidth);
    if (face.empty() && !hasHeight) return 0;

    OutputFormatSet& formats = client.Formats();
    OutputViewStyle& view = formats.view;
    // A face alone keeps the size the views have now.
    if (!hasHeight) height = view.height;
    height = std::clamp(height, kMinimumFontHeight, kMaximumFontSize);
    width = std::clamp(width, 0, kMaximumFontSize);

    // Fields only: a format's mask says whether it sets them or inherits them, and that
    // choice stays the user's.
    auto apply = [&](TextFormat& format) {
        if (!face.empty()) format.SetFace(face);
        format.height = height;
        if (hasWidth) format.width = width;
    };
    apply(formats.global);
    for (TextFormat& format : formats.named) apply(format);

    if (!face.empty()) view.face = std::string(formats.global.Face());
    view.height = height;
    if (hasWidth) view.width = width;
    view.weight = kViewWeight;
    view.cellHeight = std::clamp(cellHeight, 0, kMaximumFontSize);
    view.cellWidth = std::clamp(cellWidth, 0, kMaximumFontSize);

    Host& host = client.GetHost();
    host.SetOutputFont(view.face, view.height, view.width, view.weight);
    host.SetOutputCellSize(view.cellHeight, view.cellWidth);
    host.LayoutChildren();
    host.RepaintOutput();
    client.MarkSettingsChanged();
    return 0;
}

}  // namespace zel
