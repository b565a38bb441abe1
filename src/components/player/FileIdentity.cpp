#include "components/player/FileIdentity.h"

#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::Of(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    FileIdentity identity;
    identity.path = path;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = std::uint64_t(status.st_size);
    identity.modifiedNs = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return identity;
}
