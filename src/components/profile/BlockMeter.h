// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/LevelBlock.h"

#include <cstdint>
#include <limits>
#include <span>
#include <variant>
#include <vector>

// Interleaved samples as decoders give them: 32-bit float (full scale 1.0) or
// 16-bit integers (full scale 32768), so that neither needs converting.
using SoundSamples = std::variant<std::span<const float>, std::span<const std::int16_t>>;

// A stretch of decoded sound as a decoder hands it over: `channels` channels
// at `rate` frames a second, starting at `startNs` nanoseconds of the media's
// time (negative when the decoder did not say).
struct SoundChunk {
    int rate = 0;
    int channels = 0;
    std::int64_t startNs = -1;
    SoundSamples samples;
};

// Measures sound, mixed to mono, in blocks of 10 ms of the media's time: block
// k covers frames k*rate/100 up to (k+1)*rate/100, so blocks stay on time at
// any rate, also when it changes. Sound that starts later than the last ended
// (a stream starting after 0, a gap) leaves silent blocks in between.
class BlockMeter {
public:
    // Appends to `out` every block the chunk completes.
    void Add(const SoundChunk& chunk, std::vector<LevelBlock>& out);
    // Appends the last block, when some sound of it was added.
    void Finish(std::vector<LevelBlock>& out);

private:
    std::int64_t BlockStart(std::int64_t block) const { return block * m_rate / kBlocksPerSecond; }
    template <typename Sample>
    void Measure(const Sample* sample, std::int64_t frames, int channels, std::vector<LevelBlock>& out);
    void CloseBlock(std::vector<LevelBlock>& out);
    // Sound resumes at `frame`: the blocks before it close, silent where
    // nothing was heard.
    void SkipTo(std::int64_t frame, std::vector<LevelBlock>& out);

    int m_rate = 0;
    // The block being filled, the next frame expected and the block's end,
    // counted in frames at m_rate from the media's start.
    std::int64_t m_block = 0;
    std::int64_t m_frame = 0;
    std::int64_t m_blockEnd = 0;
    // What the block being filled has heard so far.
    float m_minimum = std::numeric_limits<float>::max();
    float m_maximum = std::numeric_limits<float>::lowest();
    double m_power = 0;
    std::int64_t m_heard = 0;
};
