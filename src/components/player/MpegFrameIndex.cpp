// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/MpegFrameIndex.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

// What the scans found, shown with QT_LOGGING_RULES="ardeno.player.index.info=true".
Q_LOGGING_CATEGORY(lcIndex, "ardeno.player.index", QtWarningMsg)

constexpr std::uint64_t kMinEntrySpacing = 64 * 1024;
// How much of the file is read at once.
constexpr std::size_t kReadChunk = 1024 * 1024;
// How often the scan looks whether it is to stop, in frames.
constexpr std::uint64_t kStopCheckFrames = 4096;

// The file, read a chunk at a time without a second buffer.
class FileWindow : public ByteWindow {
public:
    explicit FileWindow(const FileIdentity& file) : m_size(file.size), m_buffer(kReadChunk)
    {
        m_file.rdbuf()->pubsetbuf(nullptr, 0);
        m_file.open(file.path, std::ios::binary);
        if (!m_file)
            m_problem = std::strerror(errno);
    }

    std::uint64_t Size() const override { return m_size; }

    std::span<const std::uint8_t> Peek(std::uint64_t offset, std::size_t length) override
    {
        if (offset < m_start || offset + length > m_start + m_filled)
            Fill(offset);
        if (offset < m_start || offset >= m_start + m_filled)
            return {};
        const std::size_t available = std::size_t(m_start + m_filled - offset);
        return {m_buffer.data() + (offset - m_start), std::min(length, available)};
    }

    // Why the file could not be read to its end; empty when it could.
    const std::string& Problem() const { return m_problem; }

private:
    void Fill(std::uint64_t offset)
    {
        m_start = offset;
        m_filled = 0;
        if (!m_problem.empty() || offset >= m_size)
            return;
        m_file.clear();
        m_file.seekg(std::streamoff(offset));
        m_file.read(reinterpret_cast<char*>(m_buffer.data()), std::streamsize(m_buffer.size()));
        m_filled = std::size_t(m_file.gcount());
        if (m_filled == 0)
            m_problem = std::strerror(errno);
    }

    std::uint64_t m_size;
    std::ifstream m_file;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_start = 0;
    std::size_t m_filled = 0;
    std::string m_problem;
};

} // namespace

MpegFrameIndex::MpegFrameIndex(FileIdentity file)
    : m_file(std::move(file)), m_scan([this](std::stop_token stop) { Scan(stop); })
{
}

MpegFrameIndex::~MpegFrameIndex() = default;

std::optional<MpegStreamLayout> MpegFrameIndex::Layout() const
{
    std::lock_guard lock(m_mutex);
    return m_layout;
}

void MpegFrameIndex::WaitUntilIndexed(double seconds, std::chrono::steady_clock::time_point deadline) const
{
    std::unique_lock lock(m_mutex);
    m_progress.wait_until(lock, deadline, [&] {
        return m_ended || (m_layout && double(m_framesIndexed) * m_layout->samplesPerFrame >=
                                           seconds * m_layout->sampleRate);
    });
}

bool MpegFrameIndex::Ended() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

std::size_t MpegFrameIndex::EntryCount() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

std::vector<MpegFrameIndex::Entry> MpegFrameIndex::EntriesFrom(std::size_t first) const
{
    std::lock_guard lock(m_mutex);
    if (first >= m_entries.size())
        return {};
    return {m_entries.begin() + std::ptrdiff_t(first), m_entries.end()};
}

std::optional<std::uint64_t> MpegFrameIndex::FrameCount() const
{
    std::lock_guard lock(m_mutex);
    return m_frameCount;
}

void MpegFrameIndex::Publish(std::vector<Entry>& found, std::uint64_t framesIndexed)
{
    {
        std::lock_guard lock(m_mutex);
        m_entries.insert(m_entries.end(), found.begin(), found.end());
        m_framesIndexed = framesIndexed;
    }
    found.clear();
    m_progress.notify_all();
}

void MpegFrameIndex::Scan(const std::stop_token& stop)
{
    const auto began = std::chrono::steady_clock::now();
    FileWindow window(m_file);
    MpegFrameScanner scanner(window);
    std::optional<MpegStreamLayout> layout = scanner.FindStart();
    std::vector<Entry> found;
    bool complete = false;
    if (layout) {
        {
            std::lock_guard lock(m_mutex);
            m_layout = layout;
        }
        const std::uint64_t spacing = std::max(kMinEntrySpacing, m_file.size / kMaxEntries + 1);
        std::uint64_t nextEntry = 0;
        do {
            if (scanner.Offset() >= nextEntry) {
                found.push_back({scanner.Offset(), scanner.Number()});
                nextEntry = scanner.Offset() + spacing;
                Publish(found, scanner.Number());
            }
            if (scanner.Number() % kStopCheckFrames == 0 && stop.stop_requested())
                return;
        } while (scanner.Next());
        complete = scanner.EndedWithFile();
    }

    std::lock_guard lock(m_mutex);
    m_framesIndexed = layout ? scanner.Number() + 1 : 0;
    if (complete)
        m_frameCount = m_framesIndexed;
    m_ended = true;
    m_progress.notify_all();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    if (!window.Problem().empty())
        qCInfo(lcIndex, "%s: read failed after %llu frames: %s", m_file.path.c_str(),
               static_cast<unsigned long long>(m_framesIndexed), window.Problem().c_str());
    else
        qCInfo(lcIndex, "%s: %s, %llu frames, %zu entries, %lld ms", m_file.path.c_str(),
               !layout ? "no MPEG audio stream" : complete ? "indexed to its end" : "indexed up to damage",
               static_cast<unsigned long long>(m_framesIndexed), m_entries.size(), static_cast<long long>(took.count()));
}
