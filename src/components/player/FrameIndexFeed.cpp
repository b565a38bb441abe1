// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/FrameIndexFeed.h"

#include "components/player/MpegFrameIndex.h"

#include <gst/base/gstbaseparse.h>

#include <cstring>

namespace {

// The time of a frame's first sample.
GstClockTime FrameTime(std::uint64_t frame, const MpegStreamLayout& layout)
{
    return gst_util_uint64_scale(frame * std::uint64_t(layout.samplesPerFrame), GST_SECOND,
                                 std::uint64_t(layout.sampleRate));
}

} // namespace

FrameIndexFeed::FrameIndexFeed(GstElement* pipeline) : m_pipeline(pipeline)
{
    m_elementAdded =
        g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(&FrameIndexFeed::OnElementAdded), this);
}

FrameIndexFeed::~FrameIndexFeed()
{
    g_signal_handler_disconnect(m_pipeline, m_elementAdded);
}

void FrameIndexFeed::Reset()
{
    std::lock_guard lock(m_mutex);
    m_parser.reset();
    m_severalParsers = false;
    m_firstFrame.reset();
    m_entriesGiven = 0;
    m_lengthGiven = false;
}

bool FrameIndexFeed::Serves(const MpegFrameIndex& index)
{
    return Parser(index) != nullptr;
}

bool FrameIndexFeed::HasNews(const MpegFrameIndex& index)
{
    std::optional<MpegStreamLayout> layout = index.Layout();
    return Parser(index) && (index.EntryCount() > m_entriesGiven ||
                             (!m_lengthGiven && !layout->hasLengthTable && index.FrameCount()));
}

void FrameIndexFeed::Feed(const MpegFrameIndex& index)
{
    GstElement* parser = Parser(index);
    if (!parser)
        return;
    const MpegStreamLayout layout = *index.Layout();
    auto* parse = GST_BASE_PARSE(parser);
    for (const MpegFrameIndex::Entry& entry : index.EntriesFrom(m_entriesGiven)) {
        // Forced: the parser's own rules keep entries apart by its own reading.
        gst_base_parse_add_index_entry(parse, entry.offset - layout.tagSize, FrameTime(entry.frame, layout), TRUE,
                                       TRUE);
        ++m_entriesGiven;
    }
    std::optional<std::uint64_t> frames = index.FrameCount();
    if (frames && !layout.hasLengthTable && !m_lengthGiven) {
        gst_base_parse_set_duration(parse, GST_FORMAT_TIME, gint64(FrameTime(*frames, layout)), 0);
        m_lengthGiven = true;
    }
}

GstElement* FrameIndexFeed::Parser(const MpegFrameIndex& index)
{
    std::optional<MpegStreamLayout> layout = index.Layout();
    std::lock_guard lock(m_mutex);
    if (!layout || !m_parser || m_severalParsers || !m_firstFrame)
        return nullptr;
    // A parser that pulls reads the file itself; inside a container it is
    // given the stream's data.
    GstPadHandle sink(gst_element_get_static_pad(m_parser.get(), "sink"));
    if (!sink || GST_PAD_MODE(sink.get()) != GST_PAD_MODE_PULL)
        return nullptr;
    // A header frame holds no time: the parser delivers it (without a
    // duration) or drops it, by its version.
    const std::uint64_t delivered = *m_firstFrame + layout->tagSize;
    if (delivered != layout->streamStart && delivered != layout->firstFrame)
        return nullptr;
    return m_parser.get();
}

void FrameIndexFeed::OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer self)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::strcmp(GST_OBJECT_NAME(factory), "mpegaudioparse") != 0)
        return;
    auto* feed = static_cast<FrameIndexFeed*>(self);
    std::lock_guard lock(feed->m_mutex);
    if (feed->m_parser) {
        feed->m_severalParsers = true;
        return;
    }
    feed->m_parser.reset(GST_ELEMENT(gst_object_ref(element)));
    GstPadHandle source(gst_element_get_static_pad(element, "src"));
    gst_pad_add_probe(source.get(), GST_PAD_PROBE_TYPE_BUFFER, &FrameIndexFeed::OnFirstFrame, self, nullptr);
}

// Streaming thread: where the parser's first frame lay.
GstPadProbeReturn FrameIndexFeed::OnFirstFrame(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    auto* feed = static_cast<FrameIndexFeed*>(self);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    std::lock_guard lock(feed->m_mutex);
    if (buffer && GST_BUFFER_OFFSET_IS_VALID(buffer))
        feed->m_firstFrame = GST_BUFFER_OFFSET(buffer);
    return GST_PAD_PROBE_REMOVE;
}
