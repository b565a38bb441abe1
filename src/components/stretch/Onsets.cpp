// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/stretch/Onsets.h"

#include <algorithm>

namespace {

constexpr double kBlockSeconds = 0.001;
constexpr std::size_t kHistoryBlocks = 10;
constexpr double kRise = 10;
// Mean square below which a block counts as silence (-60 dB of full scale):
// noise near silence starts nothing.
constexpr double kQuiet = 1e-6;
// The sound kept whole around an onset: a little before it (an attack that
// begins inside the block before) and the burst after it.
constexpr double kGuardBeforeSeconds = 0.002;
constexpr double kGuardAfterSeconds = 0.015;

} // namespace

Onsets::Onsets(int sampleRate)
    : m_block(std::max(1, int(sampleRate * kBlockSeconds))),
      m_guardBefore(int(sampleRate * kGuardBeforeSeconds)),
      m_guardAfter(int(sampleRate * kGuardAfterSeconds))
{
}

void Onsets::Reset()
{
    m_examined = 0;
    m_energy = 0;
    m_inBlock = 0;
    m_history.clear();
    m_guarded.clear();
}

void Onsets::Push(const float* samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        m_energy += double(samples[i]) * samples[i];
        ++m_examined;
        if (++m_inBlock == m_block)
            EndBlock();
    }
}

void Onsets::EndBlock()
{
    double level = m_energy / m_block;
    double before = 0;
    for (double energy : m_history)
        before += energy;
    before = m_history.empty() ? 0 : before / double(m_history.size());
    if (level > kQuiet && level > kRise * before) {
        std::int64_t start = m_examined - m_block;
        Guarded guarded{start - m_guardBefore, start + m_guardAfter};
        if (!m_guarded.empty() && m_guarded.back().end >= guarded.begin)
            m_guarded.back().end = guarded.end;
        else
            m_guarded.push_back(guarded);
    }
    m_history.push_back(level);
    if (m_history.size() > kHistoryBlocks)
        m_history.pop_front();
    m_energy = 0;
    m_inBlock = 0;
}

bool Onsets::Touch(std::int64_t begin, std::int64_t end) const
{
    return std::any_of(m_guarded.begin(), m_guarded.end(),
                       [&](const Guarded& guarded) { return guarded.begin < end && begin < guarded.end; });
}

void Onsets::Forget(std::int64_t sample)
{
    while (!m_guarded.empty() && m_guarded.front().end <= sample)
        m_guarded.pop_front();
}
