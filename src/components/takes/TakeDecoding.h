// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/sentences/PauseFinder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The whole sound of a take file, decoded to interleaved 16-bit frames in the
// recorder's format (44.1 kHz stereo). Blocks until the file is decoded (a few
// milliseconds per second of take). Throws std::runtime_error naming the file
// and what the media framework said when it cannot be decoded.
std::vector<std::int16_t> DecodeTake(const std::string& path);

// The sound of a media file or a take as mono float samples at `rate`: the
// whole file, or `stretch` of it (in seconds). Blocks until it is decoded.
// Throws std::runtime_error naming the file and what the media framework
// said when it cannot be decoded.
std::vector<float> DecodeMonoSound(const std::string& path, const std::optional<TimeSpan>& stretch, int rate);

// What a take that cannot be played says: the file, and why.
std::string TakePlaybackFailure(const std::string& path, const std::string& why);
