// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/FileIdentity.h"
#include "components/player/MediaPlayer.h"
#include "components/player/PlayerFault.h"

#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

class BusWatcher;
class FrameIndexFeed;
class LeadInSeek;
class MpegFrameIndex;
class SpeedFilter;
class VideoFrameSink;

// How a GstMediaPlayer is put together; the defaults are the program's.
struct GstPlayerSettings {
    // Replaces the sound output (autoaudiosink, which falls back to a silent
    // sink that keeps time when there is no sound device).
    GstElementHandle audioSink;
    // Longest wait for the media framework in any operation.
    std::chrono::milliseconds timeout{5000};
};

// The media player over GStreamer's playbin. Loading prerolls the file (PAUSED)
// so that its first frame and its positions are ready; Stop is PAUSED in the
// state Stopped, because a pipeline in READY forgets its position. Seeks are
// flushing and ACCURATE (with a lead-in where the demuxer needs one), and carry
// the segment end as their stop, so that the stream itself ends on that
// sample; the player then pauses the pipeline and holds at the end. They also
// carry the speed as their rate, which a filter in the sound's path plays at
// the sound's own pitch (see SpeedFilter); at speed 1 the sound passes it
// untouched. Bus
// messages are handled on the GUI thread as they arrive, and before each
// operation, so that an operation always sees the stream as it is.
//
// Long files cost what short ones do. An MP3 is indexed on a thread of its
// own as it loads, and its seeks start from the indexed frame before their
// target instead of parsing the file from its start. Loading the file that is
// loaded already, unchanged on disk, goes back to its start instead of opening
// it again, keeping what the pipeline has learnt of it.
//
// Lives on the GUI thread; every operation must be called there.
class GstMediaPlayer : public IMediaPlayer {
public:
    // Throws PlayerFault (CannotCreate) when the media framework cannot be
    // used or a needed element is missing.
    explicit GstMediaPlayer(GstPlayerSettings settings = {});
    ~GstMediaPlayer() override;
    GstMediaPlayer(const GstMediaPlayer&) = delete;
    GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

    void setSurface(PlayerSurface* surface) override;

    void SetMediaFileName(const std::string& path) override;
    double GetCurrentPosition() override;
    void SetCurrentPosition(double seconds) override;
    void SetSegmentEnd(std::optional<double> seconds) override;
    void SetSpeed(double speed) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    PlaybackState PlayState() const override;
    PlaybackStatus Status() const override;

private:
    // Where playback is. In every state but Empty and Playing the pipeline is
    // PAUSED; at the segment end it holds there and the position reads the
    // end exactly.
    enum class State {
        Empty,     // nothing to play: no file, a missing file, a broken stream
        Paused,    // after a load or Pause
        Stopped,   // after Stop or at the end of the stream
        Playing,   // the pipeline plays
        HeldAtEnd, // Play()ed, but the segment end is reached: nothing more plays
        AtEnd,     // not playing, at the segment end (sought there, or halted there)
    };
    bool AtSegmentEnd() const { return m_state == State::HeldAtEnd || m_state == State::AtEnd; }
    // Playing as far as the caller is concerned, also when held at the end.
    bool Playing() const { return m_state == State::Playing || m_state == State::HeldAtEnd; }
    // Held at the segment end when the end moved later: plays on to it now.
    void ResumeIfPending();
    // Playback whose position has not moved for a while is restarted where it
    // stands.
    void RestartIfStalled(double position);

    // Loads `path` paused at 0, or notes it missing (see IMediaPlayer).
    void Open(const std::string& path, PlayerOperation operation);
    // Whether `path` is the file loaded and playable now, unchanged since.
    bool IsLoadedUnchanged(const std::string& path) const;
    // What a new load of the file loaded leaves: paused at 0, showing its
    // first frame.
    void ReturnToStart(PlayerOperation operation);
    // Gives the parser the file's frame index up to `target` (waiting for it
    // within half the operation's time), so that a seek there starts near it.
    // The parser takes its index only while the pipeline does not stream:
    // a playing pipeline is paused for it. Returns whether it was.
    bool IndexUpTo(double target, PlayerOperation operation);
    // An exact seek, `seconds` clamped to the stream, up to the segment end;
    // waits until it is done. A playing player plays on from there, or holds
    // when the target is not before the segment end.
    void SeekTo(double seconds, PlayerOperation operation);
    void RestartSoundOutput(PlayerOperation operation);
    // Handles pending bus messages, then throws the error of a stream that
    // broke since the last operation.
    void BeginOperation(PlayerOperation operation);
    void ThrowStreamError(PlayerOperation operation, PlayerFaultCode code);
    // Moves the pipeline to `state` and waits until it is there.
    void ChangeState(GstState state, PlayerOperation operation);
    // Waits until a state change or a seek has completed; throws when it
    // fails or takes longer than the timeout.
    void WaitUntilSettled(PlayerOperation operation);
    // Empties the pipeline; the position stays readable.
    void Unload();

    void OnBusMessage(GstMessage* message);
    void OnStreamError(const BusError& error);
    void OnEndOfStream(guint32 seqnum);

    std::optional<double> QueryPosition() const;
    std::optional<double> QueryDuration() const;
    bool HasVideo() const;
    void ShowText(const QString& text);

    std::chrono::milliseconds m_timeout;
    PlayerSurface* m_surface = nullptr;
    GstPipelineHandle m_playbin;
    GstElementHandle m_audioSink;
    std::unique_ptr<LeadInSeek> m_leadIn;
    std::unique_ptr<FrameIndexFeed> m_indexFeed;
    std::unique_ptr<SpeedFilter> m_speedFilter;
    std::unique_ptr<VideoFrameSink> m_video;
    std::unique_ptr<BusWatcher> m_bus;

    std::string m_path;
    // The file loaded, as it was when it was loaded, and its frame index (kept
    // when the same file is loaded again).
    std::optional<FileIdentity> m_loadedFile;
    std::unique_ptr<MpegFrameIndex> m_frameIndex;
    State m_state = State::Empty;
    // When the file was opened, until it first plays (see RestartSoundOutput).
    std::optional<std::chrono::steady_clock::time_point> m_unplayedSince;
    // Playing, where the position was last seen to move and when (see
    // RestartIfStalled); none after a seek or a change of state.
    struct Movement {
        double position;
        std::chrono::steady_clock::time_point since;
    };
    std::optional<Movement> m_lastMove;
    // The end moved past where playback is held; see SetSegmentEnd.
    bool m_resumePending = false;
    // Where playback is: the last position read or sought, answered when the
    // pipeline cannot tell (nothing loaded, a broken stream, at the segment end).
    double m_position = 0;
    // The error of a stream that broke; thrown by the next operation.
    std::optional<BusError> m_streamError;

    // The segment end asked for, and the one the pipeline's stream was sought
    // with (nothing: none).
    std::optional<double> m_segmentEnd;
    std::optional<double> m_pipelineEnd;
    // The stream was sought with a stop (an end inside the stream), and the
    // sequence number of that seek, which its end of stream carries.
    bool m_stopInStream = false;
    guint32 m_seekSeqnum = GST_SEQNUM_INVALID;
    // The speed asked for, and the one the pipeline's stream was sought with
    // (a stream not sought since it was opened plays at 1).
    double m_speed = 1;
    double m_pipelineSpeed = 1;
};
