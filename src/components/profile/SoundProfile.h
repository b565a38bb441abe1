// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/BlockFile.h"
#include "components/profile/LevelBlock.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The sound profile of one media file as far as it has been made: a block of
// levels for each 10 ms of its sound from the start on. The blocks stay in
// their file and are read in pieces (a stretch to draw, or the whole profile
// piece by piece); a summary of kSummaryBlocks blocks per entry stays in
// memory, so a profile of many hours costs little. Lives on the GUI thread;
// its maker changes it, everyone else reads it.
class SoundProfile {
public:
    enum class Progress {
        None,      // no media, or its profile was cancelled
        Analysing, // growing; the blocks so far can be read
        Complete,  // every block is there
        Failed,    // the sound could not be analysed (to the end): see Problem()
    };

    Progress State() const { return m_progress; }
    // Why the sound could not be analysed, when it failed.
    const std::string& Problem() const { return m_problem; }

    std::size_t BlockCount() const { return m_blockCount; }
    double Seconds() const { return double(m_blockCount) / kBlocksPerSecond; }
    // Reads blocks from `first` on into `into`, no further than BlockCount();
    // returns how many it read.
    std::size_t ReadBlocks(std::size_t first, std::span<LevelBlock> into) const;
    // Entry i sums up blocks i*kSummaryBlocks on; while the profile grows only
    // complete entries are here, once it is complete the last covers the rest.
    std::span<const LevelBlock> Summary() const { return m_summary; }

    // For the profile's maker.
    // Starts afresh: no blocks yet, growing into `blocks`.
    void Begin(std::shared_ptr<const BlockFile> blocks);
    // The blocks up to `blockCount` are in the file; `summary` continues the summary.
    void Extend(std::size_t blockCount, std::span<const LevelBlock> summary);
    void Complete() { m_progress = Progress::Complete; }
    // Stops growing for `problem`; the blocks so far stay readable.
    void Fail(std::string problem);
    // Forgets everything: Progress::None.
    void Clear();

private:
    Progress m_progress = Progress::None;
    std::string m_problem;
    std::shared_ptr<const BlockFile> m_blocks;
    std::size_t m_blockCount = 0;
    std::vector<LevelBlock> m_summary;
};
