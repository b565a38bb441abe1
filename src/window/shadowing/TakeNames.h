// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <optional>
#include <string>

// Where the takes of a media file live and what they are called: a folder
// beside the media, "<media file name> takes", with one MP3 per sentence named
// by the sentence's start and end time, zero-padded to the millisecond
// ("000012.340-000015.870.mp3"), so that the names sort in media order.

std::string TakeFolder(const std::string& mediaPath);
std::string TakeFileName(const TimeSpan& sentence);
// The sentence a take file name stands for; nothing for any other name.
std::optional<TimeSpan> SentenceOfTake(const std::string& fileName);
