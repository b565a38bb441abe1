// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/FileIdentity.h"
#include "components/player/MpegFrameScanner.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Where the frames of an MPEG audio file lie: about every 1/4096 of the file
// (64 KiB at least), the offset of a frame and its number, which gives its
// exact time. Built on a thread of its own from the moment it is made, by
// reading the file once from start to end (a ten-hour MP3 in the page cache
// takes about 0.1 s); for a file that is no MPEG audio stream the scan ends at
// once, with no entries. Its memory stays small whatever the file's length.
//
// Made and destroyed on one thread; its readers may be on any.
class MpegFrameIndex {
public:
    struct Entry {
        std::uint64_t offset = 0;
        std::uint64_t frame = 0;
    };
    // The largest number of entries, as the framework's parser keeps at most.
    static constexpr std::size_t kMaxEntries = 4096;

    explicit MpegFrameIndex(FileIdentity file);
    // Stops the scan.
    ~MpegFrameIndex();
    MpegFrameIndex(const MpegFrameIndex&) = delete;
    MpegFrameIndex& operator=(const MpegFrameIndex&) = delete;

    const FileIdentity& File() const { return m_file; }
    // Known once the scan has found the stream's start; nothing before, and
    // for a file that is no MPEG audio stream.
    std::optional<MpegStreamLayout> Layout() const;
    // Waits until the frames up to `seconds` into the stream are indexed or
    // the scan has ended, but not past `deadline`.
    void WaitUntilIndexed(double seconds, std::chrono::steady_clock::time_point deadline) const;
    // Whether the scan has ended (at the end of the stream, or where it
    // could not go on).
    bool Ended() const;
    std::size_t EntryCount() const;
    // The entries from number `first` on, in file order.
    std::vector<Entry> EntriesFrom(std::size_t first) const;
    // The frames of the whole stream, once the scan has counted them up to
    // the end of the file.
    std::optional<std::uint64_t> FrameCount() const;

private:
    void Scan(const std::stop_token& stop);
    // Publishes what the scan found so far.
    void Publish(std::vector<Entry>& found, std::uint64_t framesIndexed);

    const FileIdentity m_file;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_progress;
    std::optional<MpegStreamLayout> m_layout;
    std::vector<Entry> m_entries;
    std::uint64_t m_framesIndexed = 0;
    bool m_ended = false;
    std::optional<std::uint64_t> m_frameCount;
    // Last: stopped and joined before the rest goes.
    std::jthread m_scan;
};
