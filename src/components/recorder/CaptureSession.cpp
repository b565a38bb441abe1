// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/recorder/CaptureSession.h"

#include "components/BusError.h"
#include "components/BusWatcher.h"
#include "components/GstElements.h"
#include "components/recorder/EncoderSettings.h"
#include "components/recorder/RecorderError.h"

#include <gst/audio/audio.h>

#include <QLoggingCategory>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// The framework's warnings, shown with QT_LOGGING_RULES="ardeno.recorder.info=true".
Q_LOGGING_CATEGORY(lcRecorder, "ardeno.recorder", QtWarningMsg)

// How long the first sound may take: a sound server's first capture start
// takes up to 2 s.
constexpr auto kStartTimeout = 5s;
// How long the end of stream may take to pass the encoder into the file.
constexpr auto kFinishTimeout = 3s;
// How long a message that is due is waited for: the ERROR after a failed
// start, the end of stream that follows an input failure.
constexpr auto kFollowUpWait = 300ms;
// A running input that has delivered no sound for this many seconds has
// stopped (a device that hangs, a server that no longer sends).
constexpr int kStallSeconds = 3;
// Encoded data waiting for a slow disk; capture goes on meanwhile.
constexpr auto kWriteQueueLength = 10s;
// The application message the raw-audio probe posts on the first sound.
constexpr const char* kFirstSound = "ardeno-first-sound";

GstClockTime ToClockTime(std::chrono::nanoseconds duration)
{
    return static_cast<GstClockTime>(duration.count());
}

// Adds a new element to `bin`, which holds it from then on.
GstElement* AddElement(GstElement* bin, const char* factory, const char* name)
{
    GstElementHandle element = MakeElement(factory, name);
    if (!element)
        throw RecorderError(MissingElementText(factory) + "; recording cannot start.");
    gst_bin_add(GST_BIN(bin), element.get());
    return element.get();
}

gsize DataSize(GstPadProbeInfo* info)
{
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER)
        return gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info));
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST)
        return gst_buffer_list_calculate_size(GST_PAD_PROBE_INFO_BUFFER_LIST(info));
    return 0;
}

} // namespace

CaptureSession::CaptureSession(const std::string& inputDescription, const std::string& path, SoundListener listener)
    : m_file(path), m_listener(std::move(listener))
{
    Build(inputDescription);
    WaitForFirstSound();
    m_stallWatch.setInterval(1s);
    QObject::connect(&m_stallWatch, &QTimer::timeout, [this] { CheckForStall(); });
    m_stallWatch.start();
}

void CaptureSession::CheckForStall()
{
    HandlePendingMessages();
    const std::int64_t frames = m_frames.load();
    const bool stalled = m_state == State::Running && frames == m_framesAtCheck;
    m_framesAtCheck = frames;
    m_stalledChecks = stalled ? m_stalledChecks + 1 : 0;
    if (m_stalledChecks < kStallSeconds)
        return;
    const std::string fileFailure = Shut(false);
    m_problem = "The sound input delivered no sound for " + std::to_string(kStallSeconds)
                + " seconds, so the recording ended."
                + (fileFailure.empty() ? std::string() : " Saving \"" + m_file.Path() + "\" failed: " + fileFailure + ".");
    // Problem() says what was saved; Cause() stays the reason alone.
    m_savedUpToProblem = fileFailure.empty();
}

CaptureSession::~CaptureSession()
{
    Finish();
}

void CaptureSession::Build(const std::string& inputDescription)
{
    m_pipeline = AdoptPipeline(gst_pipeline_new("recorder"));
    m_bus = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(m_pipeline.get())),
                                         [this](GstMessage* message) { OnBusMessage(message); });
    GstElement* pipeline = m_pipeline.get();

    GError* rawError = nullptr;
    m_input = AdoptElement(gst_parse_bin_from_description(inputDescription.c_str(), TRUE, &rawError));
    if (const GErrorHandle parseError(rawError); parseError || !m_input)
        throw RecorderError("The sound input \"" + inputDescription + "\" cannot be set up: "
                            + (parseError ? parseError->message : "unknown error") + ".");
    gst_object_set_name(GST_OBJECT(m_input.get()), "input");
    gst_bin_add(GST_BIN(pipeline), m_input.get());

    GstElement* convert = AddElement(pipeline, "audioconvert", "convert");
    GstElement* resample = AddElement(pipeline, "audioresample", "resample");
    GstElement* format = AddElement(pipeline, "capsfilter", "format");
    GstElement* encoder = AddElement(pipeline, "lamemp3enc", "encoder");
    GstElement* queue = AddElement(pipeline, "queue", "write-queue");
    GstElement* sink = AddElement(pipeline, "fdsink", "file");

    const GstCapsHandle caps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(S16),
                                                 "layout", G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT,
                                                 encoder_settings::kSampleRate, "channels", G_TYPE_INT,
                                                 encoder_settings::kChannels, nullptr));
    g_object_set(format, "caps", caps.get(), nullptr);
    gst_util_set_object_arg(G_OBJECT(encoder), "target", "bitrate");
    g_object_set(encoder, "bitrate", encoder_settings::kBitrateKbps, "cbr", TRUE, nullptr);
    g_object_set(queue, "max-size-buffers", 0u, "max-size-bytes", 0u, "max-size-time",
                 ToClockTime(kWriteQueueLength), nullptr);
    g_object_set(sink, "fd", m_file.Descriptor(), "sync", FALSE, nullptr);

    if (!gst_element_link_many(m_input.get(), convert, resample, format, encoder, queue, sink, nullptr))
        throw RecorderError("The sound input \"" + inputDescription
                            + "\" cannot be connected to the MP3 encoder (it gives no sound the encoder can take).");

    m_sink.reset(GST_ELEMENT(gst_object_ref(sink)));
    m_encoderInput.reset(gst_element_get_static_pad(convert, "sink"));
    const auto data = static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST);
    const GstPadHandle rawOutput(gst_element_get_static_pad(format, "src"));
    gst_pad_add_probe(rawOutput.get(), data, &CaptureSession::OnRawAudio, this, nullptr);
    const GstPadHandle fileInput(gst_element_get_static_pad(sink, "sink"));
    gst_pad_add_probe(fileInput.get(), data, &CaptureSession::OnEncodedData, this, nullptr);
}

void CaptureSession::WaitForFirstSound()
{
    // A refused start normally has its ERROR on the bus already; it may
    // follow a little later.
    const bool refused = gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE;
    const bool answered = m_bus->HandleUntil([this] { return m_state != State::Starting || !m_problem.empty(); },
                                             refused ? kFollowUpWait : kStartTimeout);
    if (!m_problem.empty())
        throw RecorderError(m_problem);
    if (!answered && refused)
        throw RecorderError("The sound input could not be started, and GStreamer gave no reason.");
    if (!answered)
        throw RecorderError("The sound input delivered no sound within " + std::to_string(kStartTimeout.count())
                            + " seconds. Check that a microphone is connected and not in use by another program.");
}

void CaptureSession::HandlePendingMessages()
{
    m_bus->Drain();
}

void CaptureSession::Pause()
{
    HandlePendingMessages();
    if (m_state != State::Running)
        return;
    // A live input stops capturing in PAUSED; any failure shows up on the bus.
    gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
    m_state = State::Paused;
}

void CaptureSession::Resume()
{
    HandlePendingMessages();
    if (m_state != State::Paused)
        return;
    gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
    m_state = State::Running;
}

void CaptureSession::Finish()
{
    HandlePendingMessages();
    if (!IsRunning())
        return;
    // From here an end of stream is this one's. It enters behind the input: a
    // paused input would hold it back, and nothing captured after the Stop
    // gets into the file.
    const bool paused = m_state == State::Paused;
    m_state = State::Finishing;
    gst_pad_send_event(m_encoderInput.get(), gst_event_new_eos());
    if (paused)
        gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
    if (!m_bus->HandleUntil([this] { return m_streamEnded || !m_problem.empty(); }, kFinishTimeout))
        m_problem = "Finishing the recording took longer than " + std::to_string(kFinishTimeout.count())
                    + " seconds; its last moments may be missing.";
    const std::string fileFailure = Shut(!m_problem.empty());
    if (m_problem.empty() && !fileFailure.empty())
        m_problem = "Saving \"" + m_file.Path() + "\" failed: " + fileFailure + ".";
}

// Warnings (an input that drops samples under load) do not end a recording;
// the messages not named need nothing from a recording.
void CaptureSession::OnBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_APPLICATION:
        if (m_state == State::Starting && gst_message_has_name(message, kFirstSound))
            m_state = State::Running;
        break;
    case GST_MESSAGE_ERROR:
        OnError(message);
        break;
    case GST_MESSAGE_EOS:
        OnEndOfStream();
        break;
    case GST_MESSAGE_WARNING:
        qCInfo(lcRecorder, "%s: %s", m_file.Path().c_str(), BusError::FromMessage(message).Describe().c_str());
        break;
    case GST_MESSAGE_CLOCK_LOST:
        // The element that gave the clock can give it no more: playing again
        // makes the pipeline choose a new one.
        if (m_state == State::Running) {
            gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
            gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
        }
        break;
    default:
        break;
    }
}

// The first error explains the end; later ones are its consequences.
void CaptureSession::OnError(GstMessage* error)
{
    switch (m_state) {
    case State::Starting:
    case State::Finishing:
        if (m_problem.empty()) {
            m_problem = Explain(error);
            m_savedUpToProblem = m_state == State::Finishing;
        }
        break;
    case State::Running:
    case State::Paused: {
        m_problem = Explain(error);
        m_savedUpToProblem = true;
        // A failing input still sends what it captured through the encoder:
        // its end of stream is awaited briefly. The file sink, once broken,
        // takes nothing more.
        if (GST_MESSAGE_SRC(error) != GST_OBJECT(m_sink.get())) {
            m_state = State::Draining;
            m_bus->HandleUntil([this] { return m_streamEnded; }, kFollowUpWait);
        }
        Shut(true);
        break;
    }
    case State::Draining:
    case State::Ended:
        break;
    }
}

void CaptureSession::OnEndOfStream()
{
    switch (m_state) {
    case State::Starting:
        if (m_problem.empty())
            m_problem = "The sound input ended before it delivered any sound.";
        break;
    case State::Running:
    case State::Paused: {
        const std::string fileFailure = Shut(false);
        m_problem = fileFailure.empty() ? "The sound input ended, so the recording ended; it is saved."
                                        : "Saving \"" + m_file.Path() + "\" failed: " + fileFailure + ".";
        break;
    }
    case State::Finishing:
    case State::Draining:
        m_streamEnded = true;
        break;
    case State::Ended:
        break;
    }
}

std::string CaptureSession::Shut(bool writingFailed)
{
    m_stallWatch.stop();
    m_pipeline.reset();
    m_encoderInput.reset();
    m_sink.reset();
    m_input.reset();
    m_state = State::Ended;
    return m_file.Close(writingFailed);
}

std::string CaptureSession::Explain(GstMessage* error) const
{
    const bool starting = m_state == State::Starting;
    GstObject* source = GST_MESSAGE_SRC(error);
    const std::string what = BusError::FromMessage(error).Describe();
    std::string text;
    if (source == GST_OBJECT(m_sink.get()))
        text = "Writing \"" + m_file.Path() + "\" failed: " + what + ".";
    else if (source == GST_OBJECT(m_input.get()) || gst_object_has_as_ancestor(source, GST_OBJECT(m_input.get())))
        text = starting ? "The sound input could not be opened: " + what
                              + ". Check that a microphone is connected and that the sound server"
                                " (PulseAudio or PipeWire) is running."
                        : "The sound input failed while recording: " + what + ".";
    else
        text = "Recording failed in the MP3 encoder chain: " + what + ".";
    return text;
}

std::string CaptureSession::Problem() const
{
    return m_savedUpToProblem ? m_problem + " The recording is saved up to that moment." : m_problem;
}

// Runs on the capture's streaming thread, before the encoder: when the first
// sound arrives, nothing has been encoded or written yet, so the file's
// earlier contents go now, or the start fails with the file as it was.
GstPadProbeReturn CaptureSession::OnRawAudio(GstPad* pad, GstPadProbeInfo* info, gpointer self)
{
    auto* session = static_cast<CaptureSession*>(self);
    const auto frames = static_cast<std::int64_t>(DataSize(info) / encoder_settings::kBytesPerFrame);
    if (frames > 0 && session->m_frames.fetch_add(frames) == 0) {
        if (const std::string failure = session->m_file.ClearEarlierContents(); !failure.empty()) {
            GST_ELEMENT_ERROR(session->m_sink.get(), RESOURCE, WRITE, ("%s", failure.c_str()), (nullptr));
            return GST_PAD_PROBE_DROP;
        }
        GstElement* format = GST_PAD_PARENT(pad);
        gst_element_post_message(format, gst_message_new_application(GST_OBJECT(format),
                                                                     gst_structure_new_empty(kFirstSound)));
    }
    if (session->m_listener)
        session->Listen(info);
    return GST_PAD_PROBE_OK;
}

void CaptureSession::Listen(GstPadProbeInfo* info) const
{
    auto hear = [this](GstBuffer* buffer) {
        const GstBufferReadMap map(buffer);
        if (map.mapped())
            m_listener({reinterpret_cast<const std::int16_t*>(map.data()), map.size() / sizeof(std::int16_t)});
    };
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER)
        hear(GST_PAD_PROBE_INFO_BUFFER(info));
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
        for (guint index = 0; index < gst_buffer_list_length(list); ++index)
            hear(gst_buffer_list_get(list, index));
    }
}

GstPadProbeReturn CaptureSession::OnEncodedData(GstPad* pad, GstPadProbeInfo* info, gpointer self)
{
    auto* session = static_cast<CaptureSession*>(self);
    const std::string failure = session->m_file.AboutToWrite(DataSize(info));
    if (failure.empty())
        return GST_PAD_PROBE_OK;
    // The disk would not take what was written: the recording ends here.
    GST_ELEMENT_ERROR(GST_PAD_PARENT(pad), RESOURCE, WRITE, ("%s", failure.c_str()), (nullptr));
    return GST_PAD_PROBE_DROP;
}
