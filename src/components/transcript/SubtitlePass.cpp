// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/SubtitlePass.h"

#include "components/BusError.h"
#include "components/BusWatcher.h"
#include "components/GstElements.h"
#include "components/GuiThread.h"
#include "components/MediaFramework.h"

#include <QLoggingCategory>
#include <algorithm>
#include <stdexcept>

namespace {

Q_LOGGING_CATEGORY(lcSubtitles, "ardeno.subtitles", QtWarningMsg)

// The name of the message that says on the bus that the file has no text
// stream.
constexpr const char* kNoTextMessage = "ardeno-no-text";

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

// Sound and pictures are never decoded (bitmap subtitles are pictures too):
// their decoders are not even loaded, their streams are handed out encoded.
int OnAutoplugSelect(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    const bool decoder = klass && g_strrstr(klass, "Decoder");
    const bool media = klass && (g_strrstr(klass, "Audio") || g_strrstr(klass, "Video") || g_strrstr(klass, "Image"));
    return decoder && media ? kExpose : kTry;
}

// The caps' first structure when they are text, else nullptr.
const GstStructure* TextFormat(GstCaps* caps)
{
    if (!caps || gst_caps_get_size(caps) == 0)
        return nullptr;
    const GstStructure* structure = gst_caps_get_structure(caps, 0);
    return gst_structure_has_name(structure, "text/x-raw") ? structure : nullptr;
}

bool IsPangoMarkup(const GstStructure* text)
{
    const gchar* format = gst_structure_get_string(text, "format");
    return format && g_str_equal(format, "pango-markup");
}

std::string TagText(const GstTagList* tags, const char* tag)
{
    gchar* raw = nullptr;
    if (!gst_tag_list_get_string(tags, tag, &raw))
        return {};
    GCharHandle text(raw);
    return text.get();
}

double Seconds(GstClockTime time)
{
    return double(time) / double(GST_SECOND);
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

} // namespace

SubtitlePass::SubtitlePass(const std::string& path, EndHandler onEnd) : m_path(path), m_onEnd(std::move(onEnd))
{
    Q_ASSERT(OnGuiThread());
    if (std::optional<std::string> problem = InitialiseMediaFramework())
        throw std::runtime_error(*problem);
    m_pipeline = AdoptPipeline(gst_pipeline_new("subtitle-streams"));
    GstElementHandle source = Need("filesrc");
    GstElementHandle decoder = Need("decodebin");
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(m_pipeline.get()), source.get(), decoder.get(), nullptr);
    if (!gst_element_link(source.get(), decoder.get()))
        throw std::runtime_error("the elements of the subtitle streams' pipeline do not link");
    g_signal_connect(decoder.get(), "autoplug-select", G_CALLBACK(OnAutoplugSelect), nullptr);
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(&SubtitlePass::OnPadAdded), this);
    g_signal_connect(decoder.get(), "no-more-pads", G_CALLBACK(&SubtitlePass::OnNoMorePads), this);

    m_bus = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(m_pipeline.get())),
                                         [this](GstMessage* message) { OnBusMessage(message); });
    // A file that cannot be opened fails here and says why on the bus.
    gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
}

// The streaming threads are stopped before anything they use goes.
SubtitlePass::~SubtitlePass()
{
    Q_ASSERT(OnGuiThread());
    m_stopping = true;
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

void SubtitlePass::OnPadAdded(GstElement*, GstPad* pad, gpointer self)
{
    auto* pass = static_cast<SubtitlePass*>(self);
    GstCapsHandle caps(gst_pad_get_current_caps(pad));
    if (const GstStructure* text = TextFormat(caps.get())) {
        TextStream* stream = nullptr;
        {
            std::lock_guard lock(pass->m_lock);
            stream = pass->m_streams.emplace_back(std::make_unique<TextStream>()).get();
            stream->pass = pass;
            stream->pangoMarkup = IsPangoMarkup(text);
            gst_segment_init(&stream->segment, GST_FORMAT_TIME);
            // The events that came before the pad was exposed.
            if (GCharHandle id{gst_pad_get_stream_id(pad)})
                stream->id = id.get();
            for (guint index = 0;; ++index) {
                GstEvent* tags = gst_pad_get_sticky_event(pad, GST_EVENT_TAG, index);
                if (!tags)
                    break;
                GstTagList* list = nullptr;
                gst_event_parse_tag(tags, &list);
                if (std::string language = TagText(list, GST_TAG_LANGUAGE_CODE); !language.empty())
                    stream->language = language;
                if (std::string title = TagText(list, GST_TAG_TITLE); !title.empty())
                    stream->title = title;
                gst_event_unref(tags);
            }
        }
        gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                          &SubtitlePass::OnTextData, stream, nullptr);
    }
    pass->Drop(pad);
}

void SubtitlePass::Drop(GstPad* pad)
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

void SubtitlePass::OnNoMorePads(GstElement*, gpointer self)
{
    auto* pass = static_cast<SubtitlePass*>(self);
    {
        std::lock_guard lock(pass->m_lock);
        if (!pass->m_streams.empty())
            return;
    }
    // Said on the bus, so that the end reaches the GUI thread the one way.
    GstElement* pipeline = pass->m_pipeline.get();
    gst_element_post_message(pipeline, gst_message_new_application(GST_OBJECT(pipeline),
                                                                   gst_structure_new_empty(kNoTextMessage)));
}

GstPadProbeReturn SubtitlePass::OnTextData(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    auto* stream = static_cast<TextStream*>(data);
    if (!stream->pass->m_stopping)
        stream->pass->Keep(*stream, info);
    return GST_PAD_PROBE_OK;
}

void SubtitlePass::Keep(TextStream& stream, GstPadProbeInfo* info)
{
    std::lock_guard lock(m_lock);
    if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info); buffer && (info->type & GST_PAD_PROBE_TYPE_BUFFER)) {
        if (!GST_BUFFER_PTS_IS_VALID(buffer))
            return;
        const guint64 start = gst_segment_to_stream_time(&stream.segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (start == GST_CLOCK_TIME_NONE)
            return;
        GstBufferReadMap map(buffer);
        if (!map.mapped())
            return;
        SubtitleCue cue;
        cue.start = Seconds(start);
        if (GST_BUFFER_DURATION_IS_VALID(buffer))
            cue.end = cue.start + Seconds(GST_BUFFER_DURATION(buffer));
        cue.bytes.assign(reinterpret_cast<const char*>(map.data()), map.size());
        stream.cues.push_back(std::move(cue));
        return;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_STREAM_START: {
        const gchar* id = nullptr;
        gst_event_parse_stream_start(event, &id);
        if (id)
            stream.id = id;
        break;
    }
    case GST_EVENT_CAPS: {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        if (const GstStructure* text = TextFormat(caps))
            stream.pangoMarkup = IsPangoMarkup(text);
        break;
    }
    case GST_EVENT_SEGMENT: {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format == GST_FORMAT_TIME)
            gst_segment_copy_into(segment, &stream.segment);
        break;
    }
    case GST_EVENT_TAG: {
        GstTagList* tags = nullptr;
        gst_event_parse_tag(event, &tags);
        if (std::string language = TagText(tags, GST_TAG_LANGUAGE_CODE); !language.empty())
            stream.language = language;
        if (std::string title = TagText(tags, GST_TAG_TITLE); !title.empty())
            stream.title = title;
        break;
    }
    default:
        break;
    }
}

void SubtitlePass::OnBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        End("cannot read the subtitle streams of " + Quoted(m_path) + ": " +
            BusError::FromMessage(message).Describe());
        break;
    case GST_MESSAGE_EOS:
        End({});
        break;
    case GST_MESSAGE_APPLICATION:
        if (gst_message_has_name(message, kNoTextMessage))
            End({});
        break;
    case GST_MESSAGE_WARNING:
        qCInfo(lcSubtitles, "%s: %s", m_path.c_str(), BusError::FromMessage(message).Describe().c_str());
        break;
    default:
        break;
    }
}

void SubtitlePass::End(const std::string& problem)
{
    if (m_ended)
        return;
    m_ended = true;
    SubtitleReading reading{m_path, {}, problem};
    {
        std::lock_guard lock(m_lock);
        // Stream ids end in the track's number in the file.
        std::stable_sort(m_streams.begin(), m_streams.end(),
                         [](const auto& a, const auto& b) { return a->id < b->id; });
        for (const std::unique_ptr<TextStream>& stream : m_streams)
            reading.streams.push_back(
                {stream->language, stream->title, CueTranscript(stream->cues, stream->pangoMarkup)});
    }
    // Not from inside the bus watcher's handler: the end handler may destroy
    // this pass, and the watcher with it. The handler is moved out first, so
    // that it outlives the pass it destroys.
    QMetaObject::invokeMethod(
        &m_guiContext,
        [this, reading = std::move(reading)]() mutable {
            EndHandler onEnd = std::move(m_onEnd);
            onEnd(std::move(reading));
        },
        Qt::QueuedConnection);
}
