// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/text/TextFile.h"

#include "components/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemReason(int error)
{
    return std::strerror(error);
}

// The temporary file of a write, removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

// The file a write replaces: the target of a symbolic link, so that the link
// stays and the file it names gets the new text.
std::string FileToReplace(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    std::error_code error;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

// How much of the file's own name the temporary name keeps: with its suffix
// it stays within the 255 bytes a name may have, also beside a file whose
// name is that long already.
constexpr std::size_t kTemporaryNameStem = 200;

// The temporary files of writes to `path` are named "<name>.tmp-<number>",
// the name cut to kTemporaryNameStem bytes.
std::string TemporaryStem(const std::filesystem::path& target)
{
    return target.filename().string().substr(0, kTemporaryNameStem) + ".tmp-";
}

// Removes what an earlier write of `path` that was killed half-way left behind.
void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::filesystem::path target(path);
    const std::string stem = TemporaryStem(target);
    std::error_code error;
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > stem.size() && name.compare(0, stem.size(), stem) == 0
            && name.find_first_not_of("0123456789", stem.size()) == std::string::npos && entry->is_regular_file(error))
            ::unlink(entry->path().c_str());
    }
}

// Creates a new file with a name of its own beside `path`, with the usual
// permissions (0666 less the umask).
int CreateFileBeside(const std::string& path, std::string* created)
{
    const std::filesystem::path target(path);
    const std::string stem = TemporaryStem(target);
    std::random_device seed;
    std::mt19937 generator(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        *created = (target.parent_path() / (stem + std::to_string(generator() % 1000000000u))).string();
        int fd = ::open(created->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no reason
// to call the write failed.
void SyncFolderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string WithCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

} // namespace

TextFileReader::TextFileReader(const std::string& path)
{
    // Opened without waiting, so that a named pipe cannot hold the window up;
    // anything but a regular file (a folder, a pipe, a device) is refused
    // before a byte is read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        m_error = SystemReason(errno);
        return;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        m_error = SystemReason(errno);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        m_error = S_ISDIR(info.st_mode) ? SystemReason(EISDIR) : std::string("Not a regular file");
        return;
    }
    ::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
    m_file.reset(::fdopen(file.Get(), "rb"));
    if (!m_file) {
        m_error = SystemReason(errno);
        return;
    }
    file.Release();
}

int TextFileReader::NextChar()
{
    int c = std::getc(m_file.get());
    if (c != '\r')
        return c;
    int next = std::getc(m_file.get());
    if (next == '\n')
        return '\n';
    if (next != EOF)
        std::ungetc(next, m_file.get());
    return c;
}

std::optional<std::string> TextFileReader::Finish(std::string piece)
{
    if (std::ferror(m_file.get())) {
        m_error = SystemReason(errno);
        return std::nullopt;
    }
    if (piece.empty())
        return std::nullopt;
    return piece;
}

std::optional<std::string> TextFileReader::ReadPiece(std::size_t maxChars)
{
    if (!m_file)
        return std::nullopt;
    std::string piece;
    while (piece.size() < maxChars) {
        int c = NextChar();
        if (c == EOF)
            break;
        piece += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return Finish(std::move(piece));
}

std::optional<std::string> TextFileReader::ReadLine()
{
    std::optional<std::string> line = ReadPiece(std::numeric_limits<std::size_t>::max());
    if (line && line->back() == '\n')
        line->pop_back();
    return line;
}

namespace {

// Writes `bytes` over the file itself, for a file whose folder takes no new
// file: written whole, cut to its new length and forced to the disk. Returns
// whether it worked; errno says why not.
bool OverwriteInPlace(const std::string& path, std::string_view bytes)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return false;
    }
    return WriteAll(file.Get(), bytes) && ::ftruncate(file.Get(), off_t(bytes.size())) == 0
           && ::fsync(file.Get()) == 0 && file.Close();
}

} // namespace

std::optional<std::string> ReplaceTextFile(const std::string& path, std::string_view text)
{
    return ReplaceFileBytes(path, WithCrLf(text));
}

std::optional<std::string> ReplaceFileBytes(const std::string& path, std::string_view bytes)
{
    const std::string target = FileToReplace(path);
    RemoveLeftoverTemporaries(target);
    std::string temporaryPath;
    FileDescriptor file(CreateFileBeside(target, &temporaryPath));
    if (file.Get() < 0) {
        // A folder that takes no new file may still hold a file that can be written.
        const int folderError = errno;
        if ((folderError == EACCES || folderError == EPERM) && ::access(target.c_str(), F_OK) == 0)
            return OverwriteInPlace(target, bytes) ? std::nullopt : std::optional(SystemReason(errno));
        return SystemReason(folderError);
    }
    TemporaryFile temporary(temporaryPath);

    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        ::fchmod(file.Get(), existing.st_mode & 07777);

    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0 || !file.Close())
        return SystemReason(errno);
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0)
        return SystemReason(errno);
    temporary.Keep();
    SyncFolderOf(target);
    return std::nullopt;
}
