// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/BlockFile.h"

#include <cerrno>
#include <unistd.h>

bool WriteAllAt(int fd, const void* bytes, std::size_t size, std::uint64_t offset)
{
    auto* next = static_cast<const char*>(bytes);
    while (size > 0) {
        ssize_t written = ::pwrite(fd, next, size, off_t(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        next += written;
        offset += std::uint64_t(written);
        size -= std::size_t(written);
    }
    return true;
}

long long ReadAllAt(int fd, void* bytes, std::size_t size, std::uint64_t offset)
{
    auto* next = static_cast<char*>(bytes);
    long long total = 0;
    while (size > 0) {
        ssize_t got = ::pread(fd, next, size, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        next += got;
        offset += std::uint64_t(got);
        size -= std::size_t(got);
        total += got;
    }
    return total;
}

std::size_t BlockFile::Read(std::size_t first, std::span<LevelBlock> into) const
{
    long long got = ReadAllAt(m_file.Get(), into.data(), into.size_bytes(), m_firstBlockAt + first * sizeof(LevelBlock));
    return got < 0 ? 0 : std::size_t(got) / sizeof(LevelBlock);
}

bool BlockFile::Write(std::size_t first, std::span<const LevelBlock> blocks) const
{
    return WriteAllAt(m_file.Get(), blocks.data(), blocks.size_bytes(), m_firstBlockAt + first * sizeof(LevelBlock));
}
