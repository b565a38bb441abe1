#pragma once

#include "components/profile/LevelBlock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The media a profile was made of, as it was then: a kept profile is used
// only for the same path with the same size and modification time.
struct SourceStamp {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
};

// The stamp of the file at `path` now; nothing when it cannot be read, with
// the system's reason in `problem`.
std::optional<SourceStamp> StampOf(const std::string& path, std::string& problem);

// How a profile is kept in a file: a header, the media's path, the blocks,
// then the summary (one entry for each kSummaryBlocks blocks, the last one for
// the rest). Numbers are in the machine's own byte order: a file of another
// machine, of another version of the format or of another media, a file cut
// short, or one whose header, path or summary changed after it was written,
// fails the check and is made again.

// Where the blocks of a profile of `source` start.
std::uint64_t FirstBlockAt(const SourceStamp& source);

// Completes a profile file whose blocks are written: the summary after the
// blocks, then the header. False (errno set) when the system refused.
bool WriteProfileEnd(int fd, const SourceStamp& source, std::uint64_t blockCount,
                     std::span<const LevelBlock> summary);

// What the header and the summary of a kept profile say.
struct KeptProfile {
    std::uint64_t blockCount = 0;
    std::vector<LevelBlock> summary;
};

// Reads a kept profile of `source`; nothing when the file is not one, whole,
// of exactly that media as it is now.
std::optional<KeptProfile> ReadProfileEnd(int fd, const SourceStamp& source);
