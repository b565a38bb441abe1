// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/BlockFile.h"
#include "components/profile/ProfileFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The profiles kept in the user's cache folder, one file per media path (named
// by a hash of the path, so a changed file's new profile replaces the old
// one). A file is trusted only after ProfileFile's check. Once the files take
// more than the bound, the least recently used go first.
class ProfileCache {
public:
    static constexpr std::uint64_t kDefaultBound = 256ull << 20;

    explicit ProfileCache(std::string folder, std::uint64_t boundBytes = kDefaultBound);

    const std::string& Folder() const { return m_folder; }
    // Where the profile of `source` is kept.
    std::string PathFor(const FileIdentity& source) const;

    // The kept profile of `source`, its blocks open for reading; the file
    // counts as used now. Nothing when none passes the check.
    struct Hit {
        std::shared_ptr<const BlockFile> blocks;
        KeptProfile kept;
    };
    std::optional<Hit> Find(const FileIdentity& source) const;

    // A new file without a name for the blocks of a profile of `source`: in
    // the cache folder, or the temporary folder when that cannot be used.
    // Nothing, with the reasons in `problem`, when neither can.
    std::shared_ptr<BlockFile> NewFile(const FileIdentity& source, std::string& problem) const;

    // Completes a file from NewFile whose blocks are all written, and keeps it
    // as the profile of `source`; then trims the cache to its bound. Returns
    // why it could not be kept, or nothing.
    std::optional<std::string> Keep(const BlockFile& file, const FileIdentity& source, std::uint64_t blockCount,
                                    std::span<const LevelBlock> summary) const;

private:
    // Removes what a crash left between a profile's link and its rename,
    // then the least recently used profiles, never `spared`, until the rest
    // fit in the bound.
    void Trim(const std::string& spared) const;

    std::string m_folder;
    std::uint64_t m_bound;
};
