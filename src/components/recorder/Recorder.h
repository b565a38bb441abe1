// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// The operations the window drives the sound recorder with, all on the GUI
// thread. The getters may be called at any moment and must be cheap.
class IRecorder {
public:
    virtual ~IRecorder() = default;

    // Takes the output path from a modifiable zero-terminated buffer; may
    // shorten the text in place, never lengthen it.
    virtual void SetFileName(char* path) = 0;
    // Starts capturing into the named file and returns true once sound is
    // being captured; false when capture could not start (LastError() then
    // says why). May block while the sound input starts (a few seconds).
    virtual bool StartRec() = 0;
    // Pauses a running recording; a second call resumes it, with no gap.
    // Harmless when nothing records.
    virtual void PauseRec() = 0;
    // Finalises the file, so that it is complete; harmless when nothing
    // records.
    virtual void StopRec() = 0;
    // Whole seconds recorded, paused time excluded.
    virtual std::int32_t GetRSec() = 0;
    // Bytes written to the output file so far; after the recording ended,
    // exactly the file's size. 64 bits: a recording of 37 hours passes 2 GiB,
    // and an MP3 file may grow as large as the file system allows.
    virtual std::int64_t GetFileSize() = 0;

    // True while a recording runs (also while it is paused); false once it
    // ended, also when it ended by itself.
    virtual bool IsRecording() const = 0;
    // Why the last start failed or why a running recording stopped by itself;
    // empty when nothing went wrong. Cleared by a successful StartRec.
    virtual std::string LastError() const = 0;
};
