// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileEnvelope.h"

#include <algorithm>
#include <cmath>

std::vector<LevelBlock> ProfileEnvelope(const SoundProfile& profile, double from, double to, int columns)
{
    std::vector<LevelBlock> envelope;
    if (columns <= 0 || to <= from)
        return envelope;
    const double blocksPerColumn = (to - from) * kBlocksPerSecond / columns;
    const bool summarised = blocksPerColumn >= double(kSummaryBlocks);
    // The units slices are made of: summary entries or blocks.
    const double unitBlocks = summarised ? double(kSummaryBlocks) : 1.0;
    const std::size_t available = summarised ? profile.Summary().size() : profile.BlockCount();
    auto blockAt = [&](int column) { return from * kBlocksPerSecond + column * blocksPerColumn; };
    auto unitAt = [&](int column) { return std::size_t(std::max(0.0, std::floor(blockAt(column) / unitBlocks))); };

    const std::size_t first = unitAt(0);
    if (first >= available)
        return envelope;
    // The last column takes the unit that the stretch ends in.
    const auto lastEnd = std::size_t(std::ceil(blockAt(columns) / unitBlocks));
    const std::size_t end = std::min(available, std::max(lastEnd, first + 1));
    std::vector<LevelBlock> read;
    std::span<const LevelBlock> units;
    if (summarised) {
        units = profile.Summary().subspan(first, end - first);
    } else {
        read.resize(end - first);
        read.resize(profile.ReadBlocks(first, read));
        units = read;
    }

    envelope.reserve(std::size_t(columns));
    for (int column = 0; column < columns; ++column) {
        const std::size_t begin = unitAt(column) - first;
        if (begin >= units.size())
            break;
        const std::size_t next = column + 1 == columns ? units.size() : unitAt(column + 1) - first;
        const std::size_t stop = std::min(units.size(), std::max(next, begin + 1));
        envelope.push_back(CombineBlocks(units.subspan(begin, stop - begin)));
    }
    return envelope;
}
