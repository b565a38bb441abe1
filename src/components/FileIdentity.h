// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Which file a path names, and which version of it: the same path, device,
// inode, size and modification time mean the same file, unchanged.
struct FileIdentity {
    std::string path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;

    // Nothing when `path` names no regular file; then the reason is in
    // `problem`, when given.
    static std::optional<FileIdentity> Of(const std::string& path, std::string* problem = nullptr);
    bool operator==(const FileIdentity&) const = default;
};
