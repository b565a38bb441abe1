// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/recorder/RecordingFile.h"

#include "components/recorder/RecorderError.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::int64_t kSyncIntervalMs = 1000;

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Thread-safe, unlike strerror: the streaming thread uses it too.
std::string SystemText(int error)
{
    return std::system_category().message(error);
}

std::string OpenFailure(const std::string& path, int error)
{
    std::string text = "Cannot write the recording \"" + path + "\": " + SystemText(error);
    if (error == ENOENT) {
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (folder.empty())
            folder = ".";
        std::error_code ignored;
        if (!std::filesystem::is_directory(folder, ignored))
            text += " (the folder \"" + folder.string() + "\" does not exist)";
    }
    return text + ".";
}

} // namespace

RecordingFile::RecordingFile(std::string path) : m_path(std::move(path))
{
    if (m_path.empty())
        throw RecorderError("No file name was given for the recording.");
    // Non-blocking only while opening: a named pipe without a reader then
    // fails at once instead of hanging the window.
    const int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK;
    m_fd = open(m_path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    m_createdHere = m_fd >= 0;
    if (m_fd < 0 && errno == EEXIST)
        m_fd = open(m_path.c_str(), flags);
    if (m_fd < 0)
        throw RecorderError(OpenFailure(m_path, errno));
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
}

RecordingFile::~RecordingFile()
{
    Close(false);
}

bool RecordingFile::IsFile(const std::string& path) const
{
    struct stat mine {};
    struct stat other {};
    if (m_fd < 0 || fstat(m_fd, &mine) != 0 || stat(path.c_str(), &other) != 0)
        return false;
    return mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

std::string RecordingFile::ClearEarlierContents()
{
    // What could not be removed would stay behind the new recording. Devices
    // and pipes (EINVAL) hold nothing to replace.
    if (ftruncate(m_fd, 0) != 0 && errno != EINVAL)
        return "its earlier contents could not be removed: " + SystemText(errno);
    return {};
}

std::string RecordingFile::AboutToWrite(std::size_t bytes)
{
    if (!m_gotData.exchange(true))
        m_lastSyncMs = NowMs();
    m_bytes += static_cast<std::int64_t>(bytes);

    const std::int64_t now = NowMs();
    if (now - m_lastSyncMs < kSyncIntervalMs)
        return {};
    m_lastSyncMs = now;
    // EINVAL: a device or pipe that has no disk to sync to.
    if (fdatasync(m_fd) != 0 && errno != EINVAL)
        return SystemText(errno);
    return {};
}

std::string RecordingFile::Close(bool writingFailed)
{
    if (m_fd < 0)
        return {};
    std::string failure;
    if (m_gotData && fdatasync(m_fd) != 0 && errno != EINVAL)
        failure = SystemText(errno);
    struct stat written {};
    if (writingFailed && fstat(m_fd, &written) == 0 && S_ISREG(written.st_mode))
        m_bytes = written.st_size;
    if (close(m_fd) != 0 && failure.empty())
        failure = SystemText(errno);
    m_fd = -1;
    if (m_createdHere && !m_gotData)
        unlink(m_path.c_str());
    return failure;
}
