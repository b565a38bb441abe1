// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/GstMediaPlayer.h"

#include "components/BusWatcher.h"
#include "components/GstElements.h"
#include "components/GuiThread.h"
#include "components/MediaFramework.h"
#include "components/player/CreateMediaPlayer.h"
#include "components/player/FrameIndexFeed.h"
#include "components/player/LeadInSeek.h"
#include "components/player/MpegFrameIndex.h"
#include "components/player/SpeedFilter.h"
#include "components/player/VideoFrameSink.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace {

// The framework's warnings, shown with QT_LOGGING_RULES="ardeno.player.info=true".
Q_LOGGING_CATEGORY(lcPlayer, "ardeno.player", QtWarningMsg)

// How long a failed state change may take to explain itself on the bus.
constexpr std::chrono::milliseconds kErrorGrace{200};
// Slice of a wait between two looks at the bus, so that an error ends the wait.
constexpr GstClockTime kWaitSlice = 20 * GST_MSECOND;
// Head start the pipeline gives itself when it starts playing. Without it a
// sound server's output starts a few milliseconds into the sound (measured at a
// PulseAudio sink: 2-5 ms lost); 10 ms was enough there, this leaves room.
constexpr GstClockTime kStartDelay = 25 * GST_MSECOND;
// Longest a freshly opened file may wait before its first Play and still
// start its sound on time (see RestartSoundOutput).
constexpr std::chrono::milliseconds kOutputGoesStale{100};
// Longest playback may stand still before its sound output is restarted.
constexpr std::chrono::milliseconds kStalled{600};
// Largest position handed to the framework (keeps nanoseconds in range).
constexpr double kLongestSeek = 1e7;
// The speeds the sound filter plays (see SetSpeed).
constexpr double kSlowest = 0.25;
constexpr double kFastest = 4.0;

// A new element; throws when the framework lacks it.
GstElementHandle MakePlayerElement(const char* factory)
{
    GstElementHandle element = MakeElement(factory);
    if (!element)
        throw PlayerFault(PlayerFaultCode::CannotCreate, PlayerOperation::Create, MissingElementText(factory));
    return element;
}

// Only a file that is not there is "not found"; anything else (no permission,
// a folder) is for the media framework to refuse, with its own reason.
bool FileIsMissing(const std::string& path)
{
    struct stat status;
    return path.empty() || (::stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR));
}

// Opening a named pipe waits for a writer, for ever if none comes, and the
// framework opens files on the calling thread: such a file is refused before.
bool IsNamedPipe(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

const char* OperationName(PlayerOperation operation)
{
    switch (operation) {
    case PlayerOperation::Create: return "create the player";
    case PlayerOperation::SetMediaFileName: return "open";
    case PlayerOperation::GetCurrentPosition: return "read the position of";
    case PlayerOperation::SetCurrentPosition: return "seek in";
    case PlayerOperation::SetSegmentEnd: return "set the segment end in";
    case PlayerOperation::SetSpeed: return "change the speed of";
    case PlayerOperation::Play: return "play";
    case PlayerOperation::Pause: return "pause";
    case PlayerOperation::Stop: return "stop";
    }
    return "use";
}

} // namespace

std::unique_ptr<IMediaPlayer> CreateMediaPlayer()
{
    return std::make_unique<GstMediaPlayer>();
}

GstMediaPlayer::GstMediaPlayer(GstPlayerSettings settings) : m_timeout(settings.timeout)
{
    Q_ASSERT(OnGuiThread());
    if (std::optional<std::string> problem = InitialiseMediaFramework())
        throw PlayerFault(PlayerFaultCode::CannotCreate, PlayerOperation::Create, *problem);
    m_playbin = GstPipelineHandle(MakePlayerElement("playbin").release());
    m_leadIn = std::make_unique<LeadInSeek>(m_playbin.get());
    m_indexFeed = std::make_unique<FrameIndexFeed>(m_playbin.get());
    m_audioSink = std::move(settings.audioSink);
    if (!m_audioSink)
        m_audioSink = MakePlayerElement("autoaudiosink");
    m_speedFilter = std::make_unique<SpeedFilter>();
    m_video = std::make_unique<VideoFrameSink>([this](const QImage& frame) {
        if (m_surface)
            m_surface->showFrame(frame);
    });
    g_object_set(m_playbin.get(), "audio-sink", m_audioSink.get(), "audio-filter", m_speedFilter->element(),
                 "video-sink", m_video->element(), "delay", kStartDelay, nullptr);
    m_bus = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(m_playbin.get())),
                                         [this](GstMessage* message) { OnBusMessage(message); });
}

// The pipeline stops first: after that no streaming thread calls into the
// video sink, which goes next.
GstMediaPlayer::~GstMediaPlayer()
{
    Q_ASSERT(OnGuiThread());
    gst_element_set_state(m_playbin.get(), GST_STATE_NULL);
}

void GstMediaPlayer::setSurface(PlayerSurface* surface)
{
    Q_ASSERT(OnGuiThread());
    m_surface = surface;
}

void GstMediaPlayer::SetMediaFileName(const std::string& path)
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::SetMediaFileName);
    m_segmentEnd.reset();
    if (IsLoadedUnchanged(path))
        ReturnToStart(PlayerOperation::SetMediaFileName);
    else
        Open(path, PlayerOperation::SetMediaFileName);
}

// At the segment end, the position is the end exactly as it was given, so
// that a caller comparing the two finds the end reached.
double GstMediaPlayer::GetCurrentPosition()
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::GetCurrentPosition);
    ResumeIfPending();
    if (m_state != State::Empty && !AtSegmentEnd()) {
        if (std::optional<double> position = QueryPosition())
            m_position = *position;
        if (m_state == State::Playing)
            RestartIfStalled(m_position);
    }
    return m_position;
}

// A PulseAudio sink can be left corked by a seek that comes while it starts
// to play (seen after a segment end moved and a seek at once): it fills its
// buffer and is never read again, and the position stands still. Restarting
// the output where playback stands, as after a long wait, plays on.
void GstMediaPlayer::RestartIfStalled(double position)
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_lastMove || m_lastMove->position != position) {
        m_lastMove = Movement{position, now};
        return;
    }
    if (now - m_lastMove->since < kStalled)
        return;
    m_lastMove.reset();
    RestartSoundOutput(PlayerOperation::GetCurrentPosition);
}

void GstMediaPlayer::SetCurrentPosition(double seconds)
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::SetCurrentPosition);
    if (m_state != State::Empty)
        SeekTo(std::isnan(seconds) ? 0.0 : seconds, PlayerOperation::SetCurrentPosition);
}

// Like Stop, this raises no stream error: the window calls it where playback
// ends, and the error waits for the next other operation.
void GstMediaPlayer::SetSegmentEnd(std::optional<double> seconds)
{
    Q_ASSERT(OnGuiThread());
    m_bus->Drain();
    if (seconds && std::isnan(*seconds))
        seconds = 0.0;
    m_segmentEnd = seconds;
    m_resumePending = false;
    // A player that does not play applies it with its next seek or Play;
    // taking the end away never needs a seek now.
    if (!Playing() || !seconds || m_pipelineEnd == m_segmentEnd)
        return;
    // Held at the old end, nothing is heard: playing on waits for the next
    // operation, which is often a seek to the segment's start. Resuming at
    // once would let a moment of sound past the old end out, and a seek
    // straight after a start can leave a sound server's stream corked.
    if (m_state == State::HeldAtEnd) {
        m_resumePending = true;
        return;
    }
    double position = QueryPosition().value_or(m_position);
    SeekTo(position, PlayerOperation::SetSegmentEnd);
}

void GstMediaPlayer::ResumeIfPending()
{
    if (!m_resumePending)
        return;
    m_resumePending = false;
    if (m_state == State::HeldAtEnd && m_segmentEnd && m_position < *m_segmentEnd)
        SeekTo(m_position, PlayerOperation::GetCurrentPosition);
}

void GstMediaPlayer::SetSpeed(double speed)
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::SetSpeed);
    m_speed = std::isfinite(speed) ? std::clamp(speed, kSlowest, kFastest) : 1.0;
    // Playback goes on where it is, at the new rate; a player that does not
    // play (or holds at the segment end) applies it with its next seek or Play.
    if (m_state != State::Playing || m_pipelineSpeed == m_speed)
        return;
    // It goes on from the sound that plays, which a stretched sound has a few
    // milliseconds ahead of or behind the position.
    double position = QueryPosition().value_or(m_position);
    SeekTo(m_speedFilter->SourceOf(position), PlayerOperation::SetSpeed);
}

void GstMediaPlayer::Play()
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::Play);
    if (m_state == State::Empty)
        return;
    if (m_unplayedSince && std::chrono::steady_clock::now() - *m_unplayedSince > kOutputGoesStale)
        RestartSoundOutput(PlayerOperation::Play);
    if (m_state == State::Empty)
        return;
    bool nothingLeft = AtSegmentEnd() && m_segmentEnd && m_position >= *m_segmentEnd;
    if (!nothingLeft && (AtSegmentEnd() || m_pipelineEnd != m_segmentEnd || m_pipelineSpeed != m_speed)) {
        // The stream ended at an end that has moved or gone, or plays at
        // another speed: go on from here.
        double position = AtSegmentEnd() ? m_position : QueryPosition().value_or(m_position);
        SeekTo(position, PlayerOperation::Play);
    }
    m_unplayedSince.reset();
    if (AtSegmentEnd()) {
        m_state = State::HeldAtEnd;
        return;
    }
    m_state = State::Playing;
    ChangeState(GST_STATE_PLAYING, PlayerOperation::Play);
}

void GstMediaPlayer::Pause()
{
    Q_ASSERT(OnGuiThread());
    BeginOperation(PlayerOperation::Pause);
    if (m_state == State::Empty)
        return;
    m_state = AtSegmentEnd() ? State::AtEnd : State::Paused;
    ChangeState(GST_STATE_PAUSED, PlayerOperation::Pause);
}

// A broken stream is already stopped: Stop does not raise its error, which
// waits for the next other operation. Halted at the segment end, the player
// is stopped already.
void GstMediaPlayer::Stop()
{
    Q_ASSERT(OnGuiThread());
    m_bus->Drain();
    if (m_state == State::Empty || m_state == State::Stopped || m_state == State::AtEnd)
        return;
    m_state = AtSegmentEnd() ? State::AtEnd : State::Stopped;
    ChangeState(GST_STATE_PAUSED, PlayerOperation::Stop);
}

// Both read without draining the bus: a message not handled yet shows in the
// next reading.
PlaybackState GstMediaPlayer::PlayState() const
{
    if (Playing())
        return PlaybackState::Playing;
    return m_state == State::Empty || m_state == State::Stopped ? PlaybackState::Stopped : PlaybackState::Paused;
}

PlaybackStatus GstMediaPlayer::Status() const
{
    if (m_state == State::Empty)
        return {PlaybackState::Stopped, m_position, std::nullopt};
    PlaybackStatus status;
    status.state = PlayState();
    status.position = AtSegmentEnd() ? m_position : QueryPosition().value_or(m_position);
    status.length = QueryDuration();
    return status;
}

void GstMediaPlayer::Open(const std::string& path, PlayerOperation operation)
{
    Unload();
    m_path = path;
    m_position = 0;
    if (FileIsMissing(path)) {
        ShowText(QStringLiteral("File not found\n") + QFile::decodeName(path.c_str()));
        return;
    }
    if (IsNamedPipe(path))
        throw PlayerFault(PlayerFaultCode::CannotOpen, operation,
                          "Cannot open " + Quoted(path) + ": it is a named pipe (FIFO), not a media file");
    m_loadedFile = FileIdentity::Of(path);
    if (m_loadedFile && (!m_frameIndex || m_frameIndex->File() != *m_loadedFile))
        m_frameIndex = std::make_unique<MpegFrameIndex>(*m_loadedFile);

    GError* rawError = nullptr;
    GCharHandle uri(gst_filename_to_uri(path.c_str(), &rawError));
    GErrorHandle error(rawError);
    if (!uri)
        throw PlayerFault(PlayerFaultCode::CannotOpen, operation,
                          "Cannot open " + Quoted(path) + ": " + (error ? error->message : "not a valid file name"));
    g_object_set(m_playbin.get(), "uri", uri.get(), nullptr);

    m_state = State::Paused;
    try {
        ChangeState(GST_STATE_PAUSED, operation);
    } catch (const PlayerFault&) {
        Unload();
        throw;
    }
    m_unplayedSince = std::chrono::steady_clock::now();
    if (HasVideo())
        m_video->Deliver();
    else
        ShowText(QFileInfo(QFile::decodeName(path.c_str())).fileName());
}

// Loading the file again would build the same pipeline and preroll it at 0;
// going back to 0 in the one there is gives the same, without the time a
// load takes, and keeps the seek index its parser has. The sound output's
// wait (see RestartSoundOutput) still counts from the first load.
bool GstMediaPlayer::IsLoadedUnchanged(const std::string& path) const
{
    return m_state != State::Empty && path == m_path && m_loadedFile && FileIdentity::Of(path) == m_loadedFile;
}

void GstMediaPlayer::ReturnToStart(PlayerOperation operation)
{
    m_state = State::Paused;
    ChangeState(GST_STATE_PAUSED, operation);
    SeekTo(0.0, operation);
    if (!HasVideo())
        ShowText(QFileInfo(QFile::decodeName(m_path.c_str())).fileName());
}

bool GstMediaPlayer::IndexUpTo(double target, PlayerOperation operation)
{
    if (!m_frameIndex)
        return false;
    auto deadline = std::chrono::steady_clock::now() + m_timeout / 2;
    // The stream's start is found within the first bytes of the file.
    m_frameIndex->WaitUntilIndexed(0.0, deadline);
    if (!m_indexFeed->Serves(*m_frameIndex))
        return false;
    m_frameIndex->WaitUntilIndexed(target, deadline);
    if (!m_indexFeed->HasNews(*m_frameIndex))
        return false;
    const bool streaming = m_state == State::Playing;
    if (streaming)
        ChangeState(GST_STATE_PAUSED, operation);
    m_indexFeed->Feed(*m_frameIndex);
    return streaming;
}

void GstMediaPlayer::SeekTo(double seconds, PlayerOperation operation)
{
    double target = std::clamp(seconds, 0.0, kLongestSeek);
    // Playback paused for the index plays on from the target.
    const bool pausedForIndex = IndexUpTo(target, operation);
    std::optional<double> duration = QueryDuration();
    if (duration)
        target = std::min(target, *duration);

    // An end at or before the target leaves nothing to play; an end past the
    // stream's is its own end.
    bool holds = m_segmentEnd && *m_segmentEnd <= target;
    bool stopInStream = m_segmentEnd && !holds && (!duration || *m_segmentEnd < *duration);
    bool resume = (m_state == State::HeldAtEnd || pausedForIndex) && !holds;
    if (holds && m_state == State::Playing)
        ChangeState(GST_STATE_PAUSED, operation);

    auto nanoseconds = static_cast<GstClockTime>(std::llround(target * GST_SECOND));
    GstClockTime stop = stopInStream ? static_cast<GstClockTime>(std::llround(*m_segmentEnd * GST_SECOND))
                                     : GST_CLOCK_TIME_NONE;
    m_lastMove.reset();
    m_resumePending = false;
    GstEvent* seek = m_leadIn->SeekEvent(nanoseconds, stop, m_speed);
    m_seekSeqnum = gst_event_get_seqnum(seek);
    m_pipelineEnd = m_segmentEnd;
    m_pipelineSpeed = m_speed;
    m_stopInStream = stopInStream;
    if (holds)
        m_state = Playing() ? State::HeldAtEnd : State::AtEnd;
    else if (resume)
        m_state = State::Playing;
    else if (m_state == State::AtEnd)
        m_state = State::Paused;
    if (!gst_element_send_event(m_playbin.get(), seek)) {
        m_bus->Drain();
        ThrowStreamError(operation, PlayerFaultCode::StreamBroken);
        if (m_streamError)
            return;
        throw PlayerFault(PlayerFaultCode::Refused, operation,
                          "The media framework refused to seek in " + Quoted(m_path) + " to " +
                              std::to_string(target) + " s");
    }
    // Until the flush is over the pipeline cannot say where it is; the target
    // is the answer.
    m_position = target;
    WaitUntilSettled(operation);
    m_video->Deliver();
    if (resume)
        ChangeState(GST_STATE_PLAYING, operation);
}

// A sound server's clock runs from the moment the output is opened (at load)
// until it first plays: after a wait, the sound would start late by as long
// as the file had waited. Closing the output and opening it again (READY and
// back), then seeking where playback stands so that it fills again, starts
// the sound on time: measured at a PulseAudio sink, 2 ms, where opening the
// whole file afresh took 15 ms and lost what its parser had learnt.
void GstMediaPlayer::RestartSoundOutput(PlayerOperation operation)
{
    // The output is in the pipeline only when the file has sound.
    if (GstObjectHandle<GstObject> pipeline{gst_object_get_parent(GST_OBJECT(m_audioSink.get()))}; !pipeline)
        return;
    double position = AtSegmentEnd() ? m_position : QueryPosition().value_or(m_position);
    gst_element_set_state(m_audioSink.get(), GST_STATE_READY);
    gst_element_sync_state_with_parent(m_audioSink.get());
    SeekTo(position, operation);
}

void GstMediaPlayer::BeginOperation(PlayerOperation operation)
{
    m_bus->Drain();
    ThrowStreamError(operation, PlayerFaultCode::StreamBroken);
}

void GstMediaPlayer::ThrowStreamError(PlayerOperation operation, PlayerFaultCode code)
{
    // Stop and SetSegmentEnd, issued where playback ends (also on the way
    // out), leave the error, already shown on the surface, to the next other
    // operation, also when it arrives during their own work.
    const bool leavesStreamErrors = operation == PlayerOperation::Stop || operation == PlayerOperation::SetSegmentEnd;
    if (!m_streamError || leavesStreamErrors)
        return;
    BusError error = std::move(*m_streamError);
    m_streamError.reset();
    std::string what = code == PlayerFaultCode::CannotOpen ? "Cannot play " + Quoted(m_path)
                                                           : "The stream of " + Quoted(m_path) + " broke";
    throw PlayerFault(code, operation, what + ": " + error.Describe());
}

void GstMediaPlayer::ChangeState(GstState state, PlayerOperation operation)
{
    m_lastMove.reset();
    if (gst_element_set_state(m_playbin.get(), state) == GST_STATE_CHANGE_FAILURE)
        m_bus->HandleUntil([this] { return m_streamError.has_value(); }, kErrorGrace);
    WaitUntilSettled(operation);
}

void GstMediaPlayer::WaitUntilSettled(PlayerOperation operation)
{
    PlayerFaultCode errorCode =
        operation == PlayerOperation::SetMediaFileName ? PlayerFaultCode::CannotOpen : PlayerFaultCode::StreamBroken;
    auto deadline = std::chrono::steady_clock::now() + m_timeout;
    for (;;) {
        // Look at the bus between slices of the wait: an element that fails
        // while prerolling may leave the state change pending for good.
        m_bus->Drain();
        ThrowStreamError(operation, errorCode);
        if (m_state == State::Empty)
            return;
        GstStateChangeReturn result = gst_element_get_state(m_playbin.get(), nullptr, nullptr, kWaitSlice);
        if (result == GST_STATE_CHANGE_FAILURE) {
            m_bus->HandleUntil([this] { return m_streamError.has_value(); }, kErrorGrace);
            ThrowStreamError(operation, errorCode);
            if (m_streamError)
                return;
            throw PlayerFault(PlayerFaultCode::Refused, operation,
                              std::string("The media framework refused to ") + OperationName(operation) + " " +
                                  Quoted(m_path) + " and gave no reason");
        }
        if (result != GST_STATE_CHANGE_ASYNC) {
            m_bus->Drain();
            ThrowStreamError(operation, errorCode);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            throw PlayerFault(PlayerFaultCode::Timeout, operation,
                              std::string("The media framework did not ") + OperationName(operation) + " " +
                                  Quoted(m_path) + " within " + std::to_string(m_timeout.count()) + " ms");
    }
}

void GstMediaPlayer::Unload()
{
    gst_element_set_state(m_playbin.get(), GST_STATE_NULL);
    m_video->Discard();
    m_leadIn->Reset();
    m_indexFeed->Reset();
    m_state = State::Empty;
    m_loadedFile.reset();
    m_unplayedSince.reset();
    m_pipelineEnd.reset();
    m_pipelineSpeed = 1;
    m_stopInStream = false;
}

void GstMediaPlayer::OnBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        OnStreamError(BusError::FromMessage(message));
        break;
    case GST_MESSAGE_EOS:
        OnEndOfStream(gst_message_get_seqnum(message));
        break;
    case GST_MESSAGE_WARNING:
        // The stream plays on (a damaged frame, a stream without a decoder, a
        // sound output tried and passed over); kept for whoever investigates.
        qCInfo(lcPlayer, "%s: %s", m_path.c_str(), BusError::FromMessage(message).Describe().c_str());
        break;
    case GST_MESSAGE_CLOCK_LOST:
        // The sound output that gave the clock has gone: playing again makes
        // the pipeline choose a new one.
        if (m_state == State::Playing) {
            gst_element_set_state(m_playbin.get(), GST_STATE_PAUSED);
            gst_element_set_state(m_playbin.get(), GST_STATE_PLAYING);
        }
        break;
    case GST_MESSAGE_LATENCY:
        gst_bin_recalculate_latency(GST_BIN(m_playbin.get()));
        break;
    case GST_MESSAGE_REQUEST_STATE: {
        // The sound server asks us to hold (another program needs the device).
        GstState requested = GST_STATE_VOID_PENDING;
        gst_message_parse_request_state(message, &requested);
        if (m_state == State::Playing && requested == GST_STATE_PAUSED) {
            m_state = State::Paused;
            gst_element_set_state(m_playbin.get(), GST_STATE_PAUSED);
        }
        break;
    }
    default:
        // ASYNC_DONE and state changes are waited for by the operations
        // themselves; local files never send BUFFERING.
        break;
    }
}

// The first error of a stream is the one that explains it; the pipeline is
// emptied so that nothing more happens, and the position where it broke stays.
void GstMediaPlayer::OnStreamError(const BusError& error)
{
    if (m_streamError || m_state == State::Empty)
        return;
    if (std::optional<double> position = QueryPosition())
        m_position = *position;
    m_streamError = error;
    Unload();
    ShowText(QStringLiteral("Cannot play ") + QFile::decodeName(m_path.c_str()) + "\n" +
             QString::fromStdString(error.Describe()));
}

// At the segment end playback holds there; at the end of the stream it halts
// where it is, stopped, as after Stop. The end of a stream sought since is
// no longer news.
void GstMediaPlayer::OnEndOfStream(guint32 seqnum)
{
    if (m_state == State::Empty || AtSegmentEnd())
        return;
    if (m_stopInStream) {
        if (seqnum != m_seekSeqnum)
            return;
        m_state = m_state == State::Playing ? State::HeldAtEnd : State::AtEnd;
        m_position = *m_pipelineEnd;
        gst_element_set_state(m_playbin.get(), GST_STATE_PAUSED);
        return;
    }
    if (std::optional<double> position = QueryPosition())
        m_position = *position;
    m_state = State::Stopped;
    gst_element_set_state(m_playbin.get(), GST_STATE_PAUSED);
}

std::optional<double> GstMediaPlayer::QueryPosition() const
{
    gint64 nanoseconds = 0;
    if (!gst_element_query_position(m_playbin.get(), GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0)
        return std::nullopt;
    return double(nanoseconds) / GST_SECOND;
}

std::optional<double> GstMediaPlayer::QueryDuration() const
{
    gint64 nanoseconds = 0;
    if (!gst_element_query_duration(m_playbin.get(), GST_FORMAT_TIME, &nanoseconds) || nanoseconds < 0)
        return std::nullopt;
    return double(nanoseconds) / GST_SECOND;
}

bool GstMediaPlayer::HasVideo() const
{
    gint videoStreams = 0;
    g_object_get(m_playbin.get(), "n-video", &videoStreams, nullptr);
    return videoStreams > 0;
}

void GstMediaPlayer::ShowText(const QString& text)
{
    if (m_surface)
        m_surface->showText(text);
}
