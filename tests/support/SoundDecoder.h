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
