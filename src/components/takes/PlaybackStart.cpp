// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/PlaybackStart.h"

#include "components/takes/SpeechLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A sample this loud belongs to the sound: well above a quiet room, well
// below speech.
constexpr int kOnsetPeak = int(speech_level::kSpeechRms / 4);
constexpr double kLeadSeconds = 0.010;
constexpr double kLongestOnsetSeconds = 0.150;

bool Audible(std::int16_t sample)
{
    return std::abs(int(sample)) >= kOnsetPeak;
}

} // namespace

std::size_t PlaybackStart(std::span<const std::int16_t> samples, int channels, int rate)
{
    const auto blockSamples = std::size_t(std::lround(rate * speech_level::kBlockSeconds)) * std::size_t(channels);
    std::size_t loud = samples.size();
    for (std::size_t block = 0; block + blockSamples <= samples.size(); block += blockSamples) {
        if (speech_level::Rms(samples.subspan(block, blockSamples)) >= speech_level::kSpeechRms) {
            loud = block;
            break;
        }
    }
    if (loud == samples.size())
        return 0;

    // Back through the quiet start of the sound: blocks that still hold an
    // audible sample.
    const auto longestOnset = std::size_t(std::lround(rate * kLongestOnsetSeconds)) * std::size_t(channels);
    std::size_t from = loud;
    while (from >= blockSamples && loud - from < longestOnset) {
        auto before = samples.subspan(from - blockSamples, blockSamples);
        if (std::none_of(before.begin(), before.end(), Audible))
            break;
        from -= blockSamples;
    }
    const auto first = std::find_if(samples.begin() + std::ptrdiff_t(from), samples.end(), Audible);
    const std::size_t firstFrame = std::size_t(first - samples.begin()) / std::size_t(channels);
    const auto lead = std::size_t(std::lround(rate * kLeadSeconds));
    return firstFrame > lead ? firstFrame - lead : 0;
}
