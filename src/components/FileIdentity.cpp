// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/FileIdentity.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::Of(const std::string& path, std::string* problem)
{
    struct stat status;
    const char* reason = nullptr;
    if (::stat(path.c_str(), &status) != 0)
        reason = std::strerror(errno);
    else if (!S_ISREG(status.st_mode))
        reason = "it is not a regular file";
    if (reason) {
        if (problem)
            *problem = reason;
        return std::nullopt;
    }
    FileIdentity identity;
    identity.path = path;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = std::uint64_t(status.st_size);
    identity.modifiedNs = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return identity;
}
