// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/VoiceActivity.h"

#include "components/takes/SpeechLevel.h"

#include <cmath>

VoiceActivity::VoiceActivity(Rules rules)
    : m_rules(rules),
      m_blockFrames(std::max<std::int64_t>(1, std::llround(rules.rate * speech_level::kBlockSeconds))),
      m_silenceBlocksToEnd(std::llround(rules.silenceToEnd / speech_level::kBlockSeconds)),
      m_longestFrames(std::llround(rules.longest * rules.rate))
{
}

bool VoiceActivity::Feed(std::span<const std::int16_t> samples)
{
    const std::size_t channels = std::size_t(m_rules.channels);
    for (std::size_t frame = 0; frame + channels <= samples.size() && !m_over; frame += channels) {
        for (std::size_t channel = 0; channel < channels; ++channel)
            m_blockSquares += double(samples[frame + channel]) * samples[frame + channel];
        ++m_frames;
        if (++m_blockFill == m_blockFrames)
            EndBlock();
        if (m_frames >= m_longestFrames)
            m_over = true;
    }
    return m_over;
}

void VoiceActivity::EndBlock()
{
    const double rms = std::sqrt(m_blockSquares / double(m_blockFill * m_rules.channels));
    m_blockFill = 0;
    m_blockSquares = 0;
    if (rms >= speech_level::kSpeechRms) {
        ++m_speechBlocks;
        m_silentBlocks = 0;
        return;
    }
    ++m_silentBlocks;
    if (Spoke() && m_silentBlocks >= m_silenceBlocksToEnd)
        m_over = true;
}
