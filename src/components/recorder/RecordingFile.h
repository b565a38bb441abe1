// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// The file one recording is written to. An existing file is replaced only
// when the first encoded data arrives, so a recording that never gets sound
// leaves it untouched, and a file created here that never got data is
// removed again. Written data is forced to the disk about once a second, so
// a crash or a power cut loses at most about a second.
//
// Open and Close run on the GUI thread; AboutToWrite runs on the streaming
// thread that writes the file, never at the same time as Close.
class RecordingFile {
public:
    // Opens (or creates) the file for writing; throws RecorderError with the
    // reason when that is not possible.
    explicit RecordingFile(std::string path);
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    const std::string& Path() const { return m_path; }
    // The descriptor the file sink writes to.
    int Descriptor() const { return m_fd; }
    // True when `path` names this very file (also through another spelling).
    bool IsFile(const std::string& path) const;

    // Called once the first sound has arrived, before anything is written:
    // the recording replaces what the file held. Returns why that failed, or
    // an empty text.
    std::string ClearEarlierContents();
    // Called before each block of `bytes` is written at the end of the file.
    // Returns the system's error text when the data written so far could not
    // be forced to the disk, otherwise an empty text.
    std::string AboutToWrite(std::size_t bytes);
    // Bytes handed to the file so far.
    std::int64_t BytesWritten() const { return m_bytes.load(); }

    // Forces the data to the disk and closes the file, removing it when it
    // was created here and got no data. When the writing broke off,
    // `writingFailed` makes BytesWritten() the size that really is on the
    // disk. Returns the system's error text when the data could not be
    // saved, otherwise an empty text. Later calls do nothing.
    std::string Close(bool writingFailed);

private:
    std::string m_path;
    int m_fd = -1;
    bool m_createdHere = false;
    std::atomic<bool> m_gotData{false};
    std::atomic<std::int64_t> m_bytes{0};
    std::int64_t m_lastSyncMs = 0;
};
