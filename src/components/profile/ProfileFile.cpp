// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileFile.h"

#include "components/profile/BlockFile.h"

#include <QtGlobal>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr char kMagic[8] = {'A', 'R', 'D', 'N', 'P', 'R', 'O', 'F'};
constexpr std::uint32_t kVersion = 1;
// Longer paths than this are not a path this program wrote.
constexpr std::uint32_t kLongestPath = 64 * 1024;

struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t pathBytes;
    std::uint64_t sourceSize;
    std::int64_t sourceModifiedNs;
    std::uint64_t blockCount;
    std::uint32_t summaryBlocks;
    std::uint32_t reserved;
    std::uint64_t checksum;
};
static_assert(sizeof(Header) == 56, "the header has no padding");

std::uint64_t SummaryCount(std::uint64_t blockCount)
{
    return (blockCount + kSummaryBlocks - 1) / kSummaryBlocks;
}

// FNV-1a over the header (its checksum zero), the path and the summary.
std::uint64_t Checksum(Header header, const std::string& path, std::span<const LevelBlock> summary)
{
    header.checksum = 0;
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            hash ^= static_cast<const unsigned char*>(data)[i];
            hash *= 1099511628211ull;
        }
    };
    add(&header, sizeof header);
    add(path.data(), path.size());
    add(summary.data(), summary.size_bytes());
    return hash;
}

} // namespace

std::uint64_t FirstBlockAt(const FileIdentity& source)
{
    return sizeof(Header) + source.path.size();
}

bool WriteProfileEnd(int fd, const FileIdentity& source, std::uint64_t blockCount, std::span<const LevelBlock> summary)
{
    Q_ASSERT(summary.size() == SummaryCount(blockCount));
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.pathBytes = std::uint32_t(source.path.size());
    header.sourceSize = source.size;
    header.sourceModifiedNs = source.modifiedNs;
    header.blockCount = blockCount;
    header.summaryBlocks = kSummaryBlocks;
    header.checksum = Checksum(header, source.path, summary);
    std::uint64_t summaryAt = FirstBlockAt(source) + blockCount * sizeof(LevelBlock);
    return WriteAllAt(fd, summary.data(), summary.size_bytes(), summaryAt) &&
           WriteAllAt(fd, source.path.data(), source.path.size(), sizeof header) &&
           WriteAllAt(fd, &header, sizeof header, 0);
}

std::optional<KeptProfile> ReadProfileEnd(int fd, const FileIdentity& source)
{
    Header header{};
    struct stat status;
    if (::fstat(fd, &status) != 0 || ReadAllAt(fd, &header, sizeof header, 0) != sizeof header)
        return std::nullopt;
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.summaryBlocks != kSummaryBlocks || header.pathBytes != source.path.size() ||
        header.pathBytes > kLongestPath || header.sourceSize != source.size ||
        header.sourceModifiedNs != source.modifiedNs)
        return std::nullopt;
    // The size says whether the blocks are all there (and bounds the counts
    // before anything is allocated for them).
    const std::uint64_t blocksAt = FirstBlockAt(source);
    const auto fileSize = std::uint64_t(status.st_size);
    if (fileSize < blocksAt || (fileSize - blocksAt) / sizeof(LevelBlock) < header.blockCount)
        return std::nullopt;
    const std::uint64_t summaryCount = SummaryCount(header.blockCount);
    if (fileSize != blocksAt + (header.blockCount + summaryCount) * sizeof(LevelBlock))
        return std::nullopt;

    std::string path(header.pathBytes, '\0');
    KeptProfile kept{header.blockCount, std::vector<LevelBlock>(summaryCount)};
    const std::uint64_t summaryAt = blocksAt + header.blockCount * sizeof(LevelBlock);
    if (ReadAllAt(fd, path.data(), path.size(), sizeof header) != (long long)path.size() || path != source.path ||
        ReadAllAt(fd, kept.summary.data(), summaryCount * sizeof(LevelBlock), summaryAt) !=
            (long long)(summaryCount * sizeof(LevelBlock)) ||
        Checksum(header, path, kept.summary) != header.checksum)
        return std::nullopt;
    return kept;
}
