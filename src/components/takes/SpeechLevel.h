// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <span>

// How takes tell speech from silence: by the loudness of 10 ms blocks of
// interleaved 16-bit sound. A block at or above kSpeechRms is speech; a
// microphone's own noise and a quiet room lie well below it.
namespace speech_level {

inline constexpr double kBlockSeconds = 0.010;
// About -40 dBFS.
inline constexpr double kSpeechRms = 0.01 * 32768;

// The RMS of the samples (all channels together), in sample units.
inline double Rms(std::span<const std::int16_t> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (std::int16_t sample : samples)
        sum += double(sample) * sample;
    return std::sqrt(sum / double(samples.size()));
}

} // namespace speech_level
