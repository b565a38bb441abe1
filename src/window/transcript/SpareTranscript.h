// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Where the program keeps a transcript it made for a media file whose folder
// takes no new file: in the user's own `folder`, named by the media's file
// name and a short hash of its full path, so that two lessons of the same
// name in different folders keep a transcript each.
std::string SpareTranscriptPath(const std::string& folder, const std::string& mediaPath);
