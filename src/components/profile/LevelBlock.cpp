// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/LevelBlock.h"

#include <algorithm>
#include <cmath>

std::int16_t LevelOf(float sample)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * kFullScale));
}

LevelBlock CombineBlocks(std::span<const LevelBlock> blocks)
{
    if (blocks.empty())
        return {};
    LevelBlock combined{blocks.front().minimum, blocks.front().maximum, 0};
    double power = 0;
    for (const LevelBlock& block : blocks) {
        combined.minimum = std::min(combined.minimum, block.minimum);
        combined.maximum = std::max(combined.maximum, block.maximum);
        power += double(block.rms) * block.rms;
    }
    combined.rms = static_cast<std::uint16_t>(std::lround(std::sqrt(power / double(blocks.size()))));
    return combined;
}

std::vector<LevelBlock> Summarise(std::span<const LevelBlock> blocks, bool withRest)
{
    std::vector<LevelBlock> summary;
    while (blocks.size() >= kSummaryBlocks || (withRest && !blocks.empty())) {
        const std::size_t take = std::min(blocks.size(), kSummaryBlocks);
        summary.push_back(CombineBlocks(blocks.first(take)));
        blocks = blocks.subspan(take);
    }
    return summary;
}
