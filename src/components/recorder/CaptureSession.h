// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"
#include "components/recorder/RecordingFile.h"

#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class BusWatcher;

// One recording: the sound input, converted to the encoder's format, encoded
// to MP3 at a constant bit rate and written to one file, with the counts the
// window shows. The object outlives the end of its recording so that the
// counts and the reason it ended stay readable until the next recording starts.
//
// Lives on the GUI thread. The pipeline's messages are handled there as they
// arrive: a recording that ends by itself (the input failed, ended or stopped
// delivering sound, writing failed) is over, its file closed with what was
// written, once the event loop has run. A lost clock is replaced, as a player
// does. The const members only read what is known.
class CaptureSession {
public:
    // Hears the captured sound as it arrives, before it is encoded: blocks of
    // interleaved 16-bit frames in the encoder's format. Runs on the
    // capture's streaming thread.
    using SoundListener = std::function<void(std::span<const std::int16_t> samples)>;

    // Builds the pipeline from `inputDescription` (a GStreamer bin
    // description with one source pad, e.g. "autoaudiosrc") into the file
    // `path` and starts capturing. Blocks until the first sound has been
    // captured (normally at once, up to 2 s for the first start of a sound
    // server's input, at most 5 s); throws RecorderError with the reason when
    // capture does not start or the file's earlier contents cannot be
    // replaced. An existing file is left as it was then. `listener`, when
    // given, hears every block captured.
    CaptureSession(const std::string& inputDescription, const std::string& path, SoundListener listener = {});
    // Finishes the recording when it still runs.
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // Running also while paused; not after it ended.
    bool IsRunning() const { return m_state == State::Running || m_state == State::Paused; }
    bool IsPaused() const { return m_state == State::Paused; }
    bool WritesTo(const std::string& path) const { return IsRunning() && m_file.IsFile(path); }
    // Why the recording ended other than by a clean Finish, and what became
    // of its file; empty while it runs and after a clean end.
    std::string Problem() const;
    // The same without what became of the file, for a caller that does
    // something else with it.
    const std::string& Cause() const { return m_problem; }

    // Handles the messages that have arrived and not been handled yet, so
    // that an operation acts on the recording as it is.
    void HandlePendingMessages();

    // Stops and continues capturing; the sound before and after joins with
    // no gap. Each does nothing when it does not apply.
    void Pause();
    void Resume();

    // Ends the stream through the encoder and waits (at most 3 s) until it
    // has reached the file, then closes the file. Problem() then says why the
    // end did not go cleanly, if it did not. Does nothing after the end.
    void Finish();

    // Sample frames captured (paused time is not captured).
    std::int64_t FramesCaptured() const { return m_frames.load(); }
    // Bytes written to the file; after the end, exactly the file's size.
    std::int64_t BytesWritten() const { return m_file.BytesWritten(); }

private:
    enum class State {
        Starting,  // waiting for the first sound
        Running,
        Paused,
        Finishing, // the end of stream is on its way to the file
        Draining,  // the input failed; what it captured is on its way to the file
        Ended,
    };

    void Build(const std::string& inputDescription);
    void WaitForFirstSound();
    void OnBusMessage(GstMessage* message);
    // Every second while running: ends a recording whose input has stopped
    // delivering sound.
    void CheckForStall();
    void OnError(GstMessage* error);
    void OnEndOfStream();
    // Stops the pipeline, closes the file and ends the recording; returns the
    // file's complaint, if any.
    std::string Shut(bool writingFailed);
    std::string Explain(GstMessage* error) const;

    // Hands the sound of a buffer (or of each buffer of a list) to the listener.
    void Listen(GstPadProbeInfo* info) const;
    static GstPadProbeReturn OnRawAudio(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnEncodedData(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    RecordingFile m_file;
    const SoundListener m_listener;
    std::atomic<std::int64_t> m_frames{0};
    State m_state = State::Starting;
    // The end of stream reached the file (while finishing or draining).
    bool m_streamEnded = false;
    std::string m_problem;
    // The file holds what was recorded until the problem: Problem() says so.
    bool m_savedUpToProblem = false;
    QTimer m_stallWatch;
    // Frames captured at the last check, and the checks since they last grew.
    std::int64_t m_framesAtCheck = 0;
    int m_stalledChecks = 0;
    // Parts of the pipeline; the pipeline itself is declared last so that it
    // is stopped before anything it uses goes.
    GstElementHandle m_input;
    GstElementHandle m_sink;
    GstPadHandle m_encoderInput;
    std::unique_ptr<BusWatcher> m_bus;
    GstPipelineHandle m_pipeline;
};
