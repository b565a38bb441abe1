// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/ProfileCache.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".profile";
constexpr const char* kBeingKept = ".new";

// The name a profile has between its link and its rename over `target`: the
// process that keeps it is in it, so that two programs keeping the same
// profile at once do not take each other's.
std::string NameWhileKept(const std::string& target, pid_t process)
{
    return target + "." + std::to_string(process) + kBeingKept;
}

// Whether `path` is a profile that a process which has ended left between
// its link and its rename (a crash): of another that runs, it is still
// being kept.
bool IsLeftBehind(const fs::path& path)
{
    if (path.extension() != kBeingKept)
        return false;
    const fs::path named = path.stem();
    if (named.stem().extension() != kExtension)
        return false;
    const std::string process = named.extension().string().substr(1);
    if (process.empty() || process.size() > 9 || process.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const pid_t pid = pid_t(std::stol(process));
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A file without a name in `folder`: it vanishes with its last descriptor
// unless it is given one.
FileDescriptor NamelessFileIn(const std::string& folder, std::string& problem)
{
    FileDescriptor file(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!file.IsOpen())
        problem += (problem.empty() ? "" : "; ") + folder + ": " + std::strerror(errno);
    return file;
}

} // namespace

ProfileCache::ProfileCache(std::string folder, std::uint64_t boundBytes)
    : m_folder(std::move(folder)), m_bound(boundBytes)
{
}

std::string ProfileCache::PathFor(const FileIdentity& source) const
{
    QByteArray name = QCryptographicHash::hash(QByteArray::fromStdString(source.path), QCryptographicHash::Sha1).toHex();
    return m_folder + "/" + name.toStdString() + kExtension;
}

std::optional<ProfileCache::Hit> ProfileCache::Find(const FileIdentity& source) const
{
    FileDescriptor file(::open(PathFor(source).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen())
        return std::nullopt;
    std::optional<KeptProfile> kept = ReadProfileEnd(file.Get(), source);
    if (!kept)
        return std::nullopt;
    // Its modification time is its last use, for Trim.
    ::futimens(file.Get(), nullptr);
    return Hit{std::make_shared<BlockFile>(std::move(file), FirstBlockAt(source)), std::move(*kept)};
}

std::shared_ptr<BlockFile> ProfileCache::NewFile(const FileIdentity& source, std::string& problem) const
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    FileDescriptor file = NamelessFileIn(m_folder, problem);
    if (!file.IsOpen())
        file = NamelessFileIn(fs::temp_directory_path(error).string(), problem);
    if (!file.IsOpen())
        return nullptr;
    problem.clear();
    return std::make_shared<BlockFile>(std::move(file), FirstBlockAt(source));
}

std::optional<std::string> ProfileCache::Keep(const BlockFile& file, const FileIdentity& source,
                                              std::uint64_t blockCount, std::span<const LevelBlock> summary) const
{
    const std::string target = PathFor(source);
    if (!WriteProfileEnd(file.Descriptor(), source, blockCount, summary))
        return target + ": " + std::strerror(errno);
    // Named beside its place first, then renamed over it, so that a reader
    // finds the old file or the new one, whole.
    const std::string named = NameWhileKept(target, ::getpid());
    const std::string descriptorPath = "/proc/self/fd/" + std::to_string(file.Descriptor());
    ::unlink(named.c_str());
    if (::linkat(AT_FDCWD, descriptorPath.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return target + ": " + std::strerror(errno);
    if (::rename(named.c_str(), target.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        ::unlink(named.c_str());
        return target + ": " + reason;
    }
    Trim(target);
    return std::nullopt;
}

void ProfileCache::Trim(const std::string& spared) const
{
    struct Kept {
        fs::file_time_type used;
        std::uintmax_t size;
        fs::path path;
    };
    std::vector<Kept> files;
    std::uintmax_t total = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, error)) {
        if (IsLeftBehind(entry.path())) {
            fs::remove(entry.path(), error);
            continue;
        }
        if (entry.path().extension() != kExtension || !entry.is_regular_file(error))
            continue;
        Kept file{entry.last_write_time(error), entry.file_size(error), entry.path()};
        if (error)
            continue;
        total += file.size;
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(), [](const Kept& a, const Kept& b) { return a.used < b.used; });
    for (const Kept& file : files) {
        if (total <= m_bound)
            break;
        if (file.path == spared || !fs::remove(file.path, error))
            continue;
        total -= file.size;
    }
}
