#pragma once

#include "components/GstHandles.h"
#include "components/recorder/RecordingFile.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

// One recording: the sound input, converted to the encoder's format, encoded
// to MP3 at a constant bit rate and written to one file, with the counts the
// window shows. The object outlives the end of its recording so that the
// counts stay readable until the next recording starts.
//
// All calls come from the GUI thread. Bus messages are taken only when the
// owner asks (CheckStream), so nothing runs behind its back.
class CaptureSession {
public:
    // Builds the pipeline from `inputDescription` (a GStreamer bin
    // description with one source pad, e.g. "autoaudiosrc") into the file
    // `path` and starts capturing. Blocks until the first sound has been
    // captured (normally at once, up to 2 s for the first start of a sound
    // server's input, at most 5 s); throws RecorderError with the reason when
    // capture does not start. An existing file is left as it was then.
    CaptureSession(const std::string& inputDescription, const std::string& path);
    // Finishes the recording when it still runs.
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // Running also while paused; not after it ended.
    bool IsRunning() const { return m_state != State::Ended; }
    bool IsPaused() const { return m_state == State::Paused; }
    bool WritesTo(const std::string& path) const { return IsRunning() && m_file.IsFile(path); }

    // Stops and continues capturing; the sound before and after joins with
    // no gap. Each does nothing when it does not apply.
    void Pause();
    void Resume();

    // Ends the stream through the encoder and waits (at most 3 s) until it
    // has reached the file, then closes the file. Returns why the end did not
    // go cleanly, or an empty text.
    std::string Finish();

    // Takes note, without waiting, of what the stream reported since the last
    // call. When the recording ended by itself (the input failed or ended,
    // writing failed) it closes the file, keeping what was written, and
    // returns the reason.
    std::optional<std::string> CheckStream();

    // Sample frames captured (paused time is not captured).
    std::int64_t FramesCaptured() const { return m_frames.load(); }
    // Bytes written to the file; after the end, exactly the file's size.
    std::int64_t BytesWritten() const { return m_file.BytesWritten(); }

private:
    enum class State { Running, Paused, Ended };

    void Build(const std::string& inputDescription);
    void WaitForFirstSound();
    // Stops the pipeline, closes the file and ends the recording; returns the
    // file's complaint, if any.
    std::string Shut(bool writingFailed);
    std::string Explain(GstMessage* error, bool starting) const;

    static GstPadProbeReturn OnRawAudio(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnEncodedData(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    RecordingFile m_file;
    std::atomic<std::int64_t> m_frames{0};
    State m_state = State::Running;
    // Parts of the pipeline; the pipeline itself is declared last so that it
    // is stopped before anything it uses goes.
    GstElementHandle m_input;
    GstElementHandle m_sink;
    GstPadHandle m_encoderInput;
    GstBusHandle m_bus;
    GstPipelineHandle m_pipeline;
};
