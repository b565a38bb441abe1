// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VideoCdTrack.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// The entry of `folder` whose name is `upperName` in any letter case.
std::optional<std::filesystem::path> EntryNamed(const std::filesystem::path& folder, const std::string& upperName)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (Upper(entry.path().filename().string()) == upperName)
            return entry.path();
    return std::nullopt;
}

} // namespace

std::string VideoCdTrack(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        return path;
    const std::optional<std::filesystem::path> tracks = EntryNamed(path, "MPEGAV");
    if (!tracks)
        return path;
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(*tracks, error)) {
        const std::string name = Upper(entry.path().filename().string());
        if (name.starts_with("AVSEQ") && name.ends_with(".DAT"))
            found.push_back(entry.path());
    }
    if (found.empty())
        return path;
    return std::min_element(found.begin(), found.end(), [](const auto& a, const auto& b) {
               return Upper(a.filename().string()) < Upper(b.filename().string());
           })->string();
}
