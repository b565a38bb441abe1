// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/profile/DecodingPass.h"

#include "components/BusError.h"
#include "components/BusWatcher.h"
#include "components/GstElements.h"
#include "components/GuiThread.h"
#include "components/MediaFramework.h"

#include <QLoggingCategory>
#include <gst/audio/audio-format.h>
#include <stdexcept>

namespace {

Q_LOGGING_CATEGORY(lcPass, "ardeno.profile", QtWarningMsg)

constexpr const char* kNoSound = "the file has no sound";
// The name of the message that says so on the bus.
constexpr const char* kNoSoundMessage = "ardeno-no-sound";

// decodebin's answers to "autoplug-select" (GstAutoplugSelectResult, which
// its plugin does not export).
enum AutoplugSelect { kTry = 0, kExpose = 1 };

GstElementHandle Need(const char* factory)
{
    GstElementHandle element = MakeElement(factory);
    if (!element)
        throw std::runtime_error(MissingElementText(factory));
    return element;
}

// Only sound is decoded: a decoder of pictures or subtitles is not even
// loaded, its stream is handed out encoded instead.
int OnAutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    bool decoder = klass && g_strrstr(klass, "Decoder");
    bool sound = klass && g_strrstr(klass, "Audio");
    return decoder && !sound ? kExpose : kTry;
}

bool IsRawSound(GstPad* pad)
{
    GstCapsHandle caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    return caps && gst_caps_get_size(caps.get()) > 0 &&
           gst_structure_has_name(gst_caps_get_structure(caps.get(), 0), "audio/x-raw");
}

} // namespace

DecodingPass::DecodingPass(const std::string& path, SoundHandler onSound, EndHandler onEnd)
    : m_onSound(std::move(onSound)), m_onEnd(std::move(onEnd))
{
    Q_ASSERT(OnGuiThread());
    if (std::optional<std::string> problem = InitialiseMediaFramework())
        throw std::runtime_error(*problem);
    m_pipeline = AdoptPipeline(gst_pipeline_new("sound-profile"));
    GstElementHandle source = Need("filesrc");
    GstElementHandle decoder = Need("decodebin");
    GstElementHandle convert = Need("audioconvert");
    GstElementHandle sink = Need("appsink");
    m_convert = convert.get();

    g_object_set(source.get(), "location", path.c_str(), nullptr);
    // The formats decoders give most (mpg123 and WAV 16-bit, most others
    // float) pass unconverted.
    GstCapsHandle sound(gst_caps_from_string("audio/x-raw, layout=(string)interleaved, format=(string){ "
                                             GST_AUDIO_NE(S16) ", " GST_AUDIO_NE(F32) " }"));
    // As fast as it decodes; no sample is kept after its callback.
    g_object_set(sink.get(), "caps", sound.get(), "sync", FALSE, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &DecodingPass::OnSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);

    gst_bin_add_many(GST_BIN(m_pipeline.get()), source.get(), decoder.get(), convert.get(), sink.get(), nullptr);
    if (!gst_element_link(source.get(), decoder.get()) || !gst_element_link(convert.get(), sink.get()))
        throw std::runtime_error("the elements of the sound profile's pipeline do not link");
    g_signal_connect(decoder.get(), "autoplug-select", G_CALLBACK(OnAutoplugSelect), nullptr);
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(&DecodingPass::OnPadAdded), this);
    g_signal_connect(decoder.get(), "no-more-pads", G_CALLBACK(&DecodingPass::OnNoMorePads), this);

    m_bus = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(m_pipeline.get())),
                                         [this](GstMessage* message) { OnBusMessage(message); });
    // A file that cannot be opened fails here and says why on the bus.
    gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
}

// The streaming threads are stopped before anything they use goes.
DecodingPass::~DecodingPass()
{
    Q_ASSERT(OnGuiThread());
    m_stopping = true;
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

void DecodingPass::OnPadAdded(GstElement*, GstPad* pad, gpointer self)
{
    auto* pass = static_cast<DecodingPass*>(self);
    if (IsRawSound(pad) && !pass->m_soundLinked.exchange(true)) {
        GstPadHandle input(gst_element_get_static_pad(pass->m_convert, "sink"));
        if (gst_pad_link(pad, input.get()) == GST_PAD_LINK_OK)
            return;
        pass->m_soundLinked = false;
    }
    pass->Discard(pad);
}

void DecodingPass::Discard(GstPad* pad)
{
    GstElementHandle sink = MakeElement("fakesink");
    if (!sink)
        return;
    g_object_set(sink.get(), "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(m_pipeline.get()), sink.get());
    GstPadHandle input(gst_element_get_static_pad(sink.get(), "sink"));
    gst_pad_link(pad, input.get());
    gst_element_sync_state_with_parent(sink.get());
}

void DecodingPass::OnNoMorePads(GstElement*, gpointer self)
{
    auto* pass = static_cast<DecodingPass*>(self);
    if (pass->m_soundLinked)
        return;
    // Said on the bus, so that the end reaches the GUI thread the one way.
    GstElement* pipeline = pass->m_pipeline.get();
    gst_element_post_message(pipeline, gst_message_new_application(GST_OBJECT(pipeline),
                                                                   gst_structure_new_empty(kNoSoundMessage)));
}

GstFlowReturn DecodingPass::OnSample(GstAppSink* sink, gpointer self)
{
    auto* pass = static_cast<DecodingPass*>(self);
    if (pass->m_stopping)
        return GST_FLOW_FLUSHING;
    GstSampleHandle sample(gst_app_sink_pull_sample(sink));
    GstBuffer* buffer = sample ? gst_sample_get_buffer(sample.get()) : nullptr;
    if (!buffer)
        return GST_FLOW_OK;
    // Three fields of the caps: cheap enough for every buffer.
    GstCaps* caps = gst_sample_get_caps(sample.get());
    SoundChunk chunk;
    if (!caps || gst_caps_get_size(caps) == 0)
        return GST_FLOW_NOT_NEGOTIATED;
    const GstStructure* format = gst_caps_get_structure(caps, 0);
    const gchar* sampleFormat = gst_structure_get_string(format, "format");
    if (!sampleFormat || !gst_structure_get_int(format, "rate", &chunk.rate) ||
        !gst_structure_get_int(format, "channels", &chunk.channels))
        return GST_FLOW_NOT_NEGOTIATED;
    const bool shortSamples = g_str_equal(sampleFormat, GST_AUDIO_NE(S16));
    GstBufferReadMap map(buffer);
    if (!map.mapped())
        return GST_FLOW_OK;
    if (const GstSegment* segment = gst_sample_get_segment(sample.get());
        segment && GST_BUFFER_PTS_IS_VALID(buffer)) {
        guint64 streamTime = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (streamTime != GST_CLOCK_TIME_NONE)
            chunk.startNs = std::int64_t(streamTime);
    }
    if (shortSamples)
        chunk.samples = std::span(reinterpret_cast<const std::int16_t*>(map.data()), map.size() / sizeof(std::int16_t));
    else
        chunk.samples = std::span(reinterpret_cast<const float*>(map.data()), map.size() / sizeof(float));
    pass->m_onSound(chunk);
    return GST_FLOW_OK;
}

void DecodingPass::OnBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        End(BusError::FromMessage(message).Describe());
        break;
    case GST_MESSAGE_EOS:
        End(m_soundLinked ? std::string() : kNoSound);
        break;
    case GST_MESSAGE_APPLICATION:
        if (gst_message_has_name(message, kNoSoundMessage))
            End(kNoSound);
        break;
    case GST_MESSAGE_WARNING:
        qCInfo(lcPass, "%s", BusError::FromMessage(message).Describe().c_str());
        break;
    default:
        break;
    }
}

void DecodingPass::End(const std::string& problem)
{
    if (m_ended)
        return;
    m_ended = true;
    // Not from inside the bus watcher's handler: the end handler may destroy
    // this pass, and the watcher with it.
    QMetaObject::invokeMethod(&m_guiContext, [this, problem] { m_onEnd(problem); }, Qt::QueuedConnection);
}
