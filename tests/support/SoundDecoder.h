// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// The whole sound of a media file, decoded to mono 32-bit float samples at
// the file's own rate, to compare with what was played or recorded.
struct DecodedSound {
    int rate = 0;
    // Where the first sample lies in the file, in seconds (later than 0 in
    // some program streams).
    double start = 0;
    std::vector<float> samples;
    // Why the file could not be decoded to its end; empty when it could.
    std::string problem;
};

// The whole sound, or only its first `seconds` when given (for long files).
DecodedSound DecodeSound(const std::string& path, std::optional<double> seconds = std::nullopt);

// Stretches of a file's sound decoded as DecodeSound decodes them, in one
// pass from the file's start, keeping only what lies in them: a file of hours
// would not fit in memory whole.
struct SoundStretch {
    // Where the stretch begins in the file, and how long it is, in seconds.
    double from = 0;
    double seconds = 0;
    // Filled by the decoding: the samples from `from` on.
    std::vector<float> samples;
};
struct DecodedStretches {
    int rate = 0;
    std::vector<SoundStretch> stretches;
    std::string problem;
};

DecodedStretches DecodeStretches(const std::string& path, std::vector<SoundStretch> stretches);
