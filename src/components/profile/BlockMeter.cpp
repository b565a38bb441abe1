// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/BlockMeter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

void BlockMeter::Add(const SoundChunk& chunk, std::vector<LevelBlock>& out)
{
    if (chunk.rate <= 0 || chunk.channels <= 0)
        return;
    if (chunk.rate != m_rate) {
        // The first sound, or a new rate: the count goes on in time.
        if (m_heard > 0)
            CloseBlock(out);
        m_rate = chunk.rate;
        m_frame = BlockStart(m_block);
        m_blockEnd = BlockStart(m_block + 1);
    }
    if (chunk.startNs >= 0) {
        auto frame = static_cast<std::int64_t>(std::llround(double(chunk.startNs) * m_rate / 1e9));
        // Timestamps jitter by a sample or so; only a real gap counts.
        if (frame - m_frame > m_rate / kBlocksPerSecond / 2)
            SkipTo(frame, out);
    }

    std::visit(
        [&](auto samples) {
            Measure(samples.data(), std::int64_t(samples.size()) / chunk.channels, chunk.channels, out);
        },
        chunk.samples);
}

template <typename Sample>
void BlockMeter::Measure(const Sample* sample, std::int64_t frames, int channels, std::vector<LevelBlock>& out)
{
    constexpr float kScale = std::is_same_v<Sample, float> ? 1.0f : 1.0f / 32768;
    const float toMono = kScale / float(channels);
    while (frames > 0) {
        const std::int64_t take = std::min(frames, m_blockEnd - m_frame);
        for (std::int64_t i = 0; i < take; ++i, sample += channels) {
            float sum = float(sample[0]);
            for (int c = 1; c < channels; ++c)
                sum += float(sample[c]);
            const float mono = sum * toMono;
            m_minimum = std::min(m_minimum, mono);
            m_maximum = std::max(m_maximum, mono);
            m_power += double(mono) * mono;
        }
        m_heard += take;
        m_frame += take;
        frames -= take;
        if (m_frame == m_blockEnd)
            CloseBlock(out);
    }
}

void BlockMeter::Finish(std::vector<LevelBlock>& out)
{
    if (m_heard > 0)
        CloseBlock(out);
}

void BlockMeter::CloseBlock(std::vector<LevelBlock>& out)
{
    LevelBlock block;
    if (m_heard > 0) {
        block.minimum = LevelOf(m_minimum);
        block.maximum = LevelOf(m_maximum);
        double rms = std::min(1.0, std::sqrt(m_power / double(m_heard)));
        block.rms = static_cast<std::uint16_t>(std::lround(rms * kFullScale));
    }
    out.push_back(block);
    ++m_block;
    m_blockEnd = BlockStart(m_block + 1);
    m_minimum = std::numeric_limits<float>::max();
    m_maximum = std::numeric_limits<float>::lowest();
    m_power = 0;
    m_heard = 0;
}

void BlockMeter::SkipTo(std::int64_t frame, std::vector<LevelBlock>& out)
{
    while (m_blockEnd <= frame)
        CloseBlock(out);
    m_frame = frame;
}
