// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/SoundProfile.h"

#include <algorithm>

std::size_t SoundProfile::ReadBlocks(std::size_t first, std::span<LevelBlock> into) const
{
    if (!m_blocks || first >= m_blockCount)
        return 0;
    return m_blocks->Read(first, into.first(std::min(into.size(), m_blockCount - first)));
}

void SoundProfile::Begin(std::shared_ptr<const BlockFile> blocks)
{
    Clear();
    m_blocks = std::move(blocks);
    m_progress = Progress::Analysing;
}

void SoundProfile::Extend(std::size_t blockCount, std::span<const LevelBlock> summary)
{
    m_blockCount = blockCount;
    m_summary.insert(m_summary.end(), summary.begin(), summary.end());
}

void SoundProfile::Fail(std::string problem)
{
    m_progress = Progress::Failed;
    m_problem = std::move(problem);
}

void SoundProfile::Clear()
{
    m_progress = Progress::None;
    m_problem.clear();
    m_blocks.reset();
    m_blockCount = 0;
    m_summary.clear();
    m_summary.shrink_to_fit();
}
