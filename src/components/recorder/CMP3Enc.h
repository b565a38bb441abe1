// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/recorder/Recorder.h"

#include <memory>
#include <string>

// Records the default sound input (or another GStreamer source) into an MP3
// file: LAME at a constant bit rate, 44.1 kHz stereo, 128 kbit/s.
//
// Everything is called on the GUI thread, whose event loop must run: the
// recording's messages are handled there as they arrive. StartRec and StopRec
// block for as long as the sound input needs to start (up to 5 s) or the end
// of the file needs to be written (up to 3 s); every other call returns at
// once. A recording that fails or whose input ends has ended, with its file
// saved, as soon as the event loop has handled the news: IsRecording() is
// then false and LastError() says why. The getters only read.
class CMP3Enc : public IRecorder {
public:
    // The sound the recordings capture, as a GStreamer bin description with
    // one source pad; tests pass e.g. "audiotestsrc is-live=true".
    static constexpr const char* kDefaultInput = "autoaudiosrc";

    explicit CMP3Enc(std::string inputDescription = kDefaultInput);
    // Finishes a recording that still runs, so closing the window never
    // loses it.
    ~CMP3Enc() override;
    CMP3Enc(const CMP3Enc&) = delete;
    CMP3Enc& operator=(const CMP3Enc&) = delete;

    // Takes the path as it is; the buffer is not changed.
    void SetFileName(char* path) override;
    // Returns true once sound is being captured. On the file already being
    // recorded it keeps recording (resuming it when paused); another
    // recording still running is finished first. An existing file is
    // replaced only when sound arrives.
    bool StartRec() override;
    void PauseRec() override;
    void StopRec() override;
    // Both count the running recording, or the last one after it ended, and
    // are 0 before the first one and after a start that failed. The seconds
    // stop at the largest 32-bit value (68 years) instead of turning negative.
    std::int32_t GetRSec() override;
    std::int64_t GetFileSize() override;
    bool IsRecording() const override;
    std::string LastError() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
