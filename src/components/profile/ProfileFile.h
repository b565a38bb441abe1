// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/FileIdentity.h"
#include "components/profile/LevelBlock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How a profile is kept in a file: a header, the media's path, the blocks,
// then the summary (one entry for each kSummaryBlocks blocks, the last one for
// the rest). Numbers are in the machine's own byte order: a file of another
// machine, of another version of the format or of another media, a file cut
// short, or one whose header, path or summary changed after it was written,
// fails the check and is made again.

// Where the blocks of a profile of `source` start.
std::uint64_t FirstBlockAt(const FileIdentity& source);

// Completes a profile file whose blocks are written: the summary after the
// blocks, then the header. False (errno set) when the system refused.
bool WriteProfileEnd(int fd, const FileIdentity& source, std::uint64_t blockCount,
                     std::span<const LevelBlock> summary);

// What the header and the summary of a kept profile say.
struct KeptProfile {
    std::uint64_t blockCount = 0;
    std::vector<LevelBlock> summary;
};

// Reads a kept profile of `source`; nothing when the file is not one, whole,
// of exactly that media as it is now (the same path, size and modification
// time).
std::optional<KeptProfile> ReadProfileEnd(int fd, const FileIdentity& source);
