// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The levels of one stretch of sound mixed to mono: its lowest and highest
// sample and its RMS, each as a 16-bit value of full scale kFullScale (a
// sample of 1.0). A profile is a row of them, one per 10 ms of sound.
struct LevelBlock {
    std::int16_t minimum = 0;
    std::int16_t maximum = 0;
    std::uint16_t rms = 0;

    friend bool operator==(const LevelBlock&, const LevelBlock&) = default;
};
static_assert(sizeof(LevelBlock) == 6, "blocks are stored as three 16-bit values");

constexpr int kFullScale = 32767;
constexpr int kBlocksPerSecond = 100;
// Blocks summed up in one entry of a profile's summary, which stays in memory
// while the blocks themselves are read from a file as needed.
constexpr std::size_t kSummaryBlocks = 64;

// A sample (-1..1, clipped beyond) as a 16-bit level.
std::int16_t LevelOf(float sample);

// The levels of the stretch the blocks cover together (blocks of equal
// length: the RMS is that of their mean power).
LevelBlock CombineBlocks(std::span<const LevelBlock> blocks);

// Summary entries of consecutive blocks: one for each whole kSummaryBlocks
// of them, and, when `withRest`, one for the blocks left over.
std::vector<LevelBlock> Summarise(std::span<const LevelBlock> blocks, bool withRest);
