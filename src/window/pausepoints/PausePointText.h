// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The pause-point file of a media file: its name, and its lines read as list
// entries or written from the points' times.

// The longest entry one read gives; a longer line becomes several entries.
constexpr std::size_t kPausePointPieceLength = 79;

// The media path with its last three characters replaced by "txt", without
// looking for a dot ("talk.mpeg" gives "talk.mtxt"). A path shorter than three
// characters loses all of them.
std::string PausePointPathFor(const std::string& mediaPath);

// One entry of the pause-point list: its text as read (a line end read with it
// stays) and the time at its start, 0 when it starts with no number.
struct PausePointEntry {
    std::string text;
    double seconds = 0;
};

struct PausePointFileContents {
    // False when the file could not be opened: there are no pause points then.
    bool opened = false;
    std::vector<PausePointEntry> entries;
    // The system's reason when reading stopped before the end of the file.
    std::string readError;
};

PausePointFileContents ReadPausePointFile(const std::string& path);

// The file's text: each time as "%f" in the C locale, one per line.
std::string PausePointFileText(const std::vector<double>& points);
