// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/pausepoints/PausePointText.h"

#include "window/text/NumberText.h"
#include "window/text/TextFile.h"

#include <algorithm>

namespace {

constexpr std::string_view kPausePointExtension = "txt";

} // namespace

std::string PausePointPathFor(const std::string& mediaPath)
{
    std::size_t kept = mediaPath.size() - std::min<std::size_t>(mediaPath.size(), 3);
    return mediaPath.substr(0, kept).append(kPausePointExtension);
}

PausePointFileContents ReadPausePointFile(const std::string& path)
{
    PausePointFileContents contents;
    TextFileReader reader(path);
    contents.opened = reader.IsOpen();
    while (std::optional<std::string> piece = reader.ReadPiece(kPausePointPieceLength)) {
        double seconds = LeadingNumberOrZero(*piece);
        contents.entries.push_back({std::move(*piece), seconds});
    }
    if (contents.opened)
        contents.readError = reader.Error();
    return contents;
}

std::string PausePointFileText(const std::vector<double>& points)
{
    std::string text;
    for (double seconds : points)
        text.append(FormatFileTime(seconds)).append("\n");
    return text;
}
