// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/FileDescriptor.h"
#include "components/profile/LevelBlock.h"

#include <cstdint>
#include <span>

// The blocks of one profile at full resolution, in a file from a given offset
// on, so that a profile of many hours costs no memory: its maker writes them
// as they are measured, and views read the stretch they show. Reads and
// writes go to the descriptor at explicit offsets, so any thread may read
// what has been written while the maker writes on.
class BlockFile {
public:
    BlockFile(FileDescriptor file, std::uint64_t firstBlockAt) : m_file(std::move(file)), m_firstBlockAt(firstBlockAt)
    {
    }

    int Descriptor() const { return m_file.Get(); }
    std::uint64_t FirstBlockAt() const { return m_firstBlockAt; }

    // Reads blocks from `first` on into `into`; returns how many it read
    // (fewer past the end of the file, none on a read error).
    std::size_t Read(std::size_t first, std::span<LevelBlock> into) const;
    // Writes `blocks` as blocks `first` on; false (errno set) when the system
    // refused.
    bool Write(std::size_t first, std::span<const LevelBlock> blocks) const;

private:
    FileDescriptor m_file;
    std::uint64_t m_firstBlockAt;
};

// Writes all of `bytes` at `offset`; false (errno set) when the system refused.
bool WriteAllAt(int fd, const void* bytes, std::size_t size, std::uint64_t offset);
// Reads up to `size` bytes at `offset`; returns how many (-1 on an error).
long long ReadAllAt(int fd, void* bytes, std::size_t size, std::uint64_t offset);
