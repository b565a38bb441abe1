// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/LeadInSeek.h"

#include <cstring>

LeadInSeek::LeadInSeek(GstElement* pipeline) : m_pipeline(pipeline)
{
    m_elementAdded = g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(&LeadInSeek::OnElementAdded), this);
}

// Called with the pipeline stopped (NULL): no streaming thread runs the
// callbacks any more.
LeadInSeek::~LeadInSeek()
{
    g_signal_handler_disconnect(m_pipeline, m_elementAdded);
}

GstEvent* LeadInSeek::SeekEvent(GstClockTime target, GstClockTime stop, double rate)
{
    auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    // The stop is always set: "none" would keep the stop of the last seek, and
    // -1 (GST_CLOCK_TIME_NONE) is the end of the stream.
    auto stopTime = gint64(stop);
    if (!m_programStream)
        return gst_event_new_seek(rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, gint64(target), GST_SEEK_TYPE_SET,
                                  stopTime);

    GstClockTime start = target > kLeadIn ? target - kLeadIn : 0;
    GstEvent* seek =
        gst_event_new_seek(rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, gint64(start), GST_SEEK_TYPE_SET, stopTime);
    std::lock_guard lock(m_mutex);
    m_seqnum = gst_event_get_seqnum(seek);
    m_target = target;
    return seek;
}

void LeadInSeek::Reset()
{
    m_programStream = false;
    std::lock_guard lock(m_mutex);
    m_seqnum = GST_SEQNUM_INVALID;
}

void LeadInSeek::OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer self)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::strcmp(GST_OBJECT_NAME(factory), "mpegpsdemux") != 0)
        return;
    static_cast<LeadInSeek*>(self)->m_programStream = true;
    g_signal_connect(element, "pad-added", G_CALLBACK(&LeadInSeek::OnPadAdded), self);
}

void LeadInSeek::OnPadAdded(GstElement*, GstPad* pad, gpointer self)
{
    if (GST_PAD_IS_SRC(pad))
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &LeadInSeek::OnSegment, self, nullptr);
}

// Moves the start of the segment that answers a lead-in seek to the target,
// keeping the mapping of timestamps to stream time.
GstPadProbeReturn LeadInSeek::OnSegment(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT)
        return GST_PAD_PROBE_OK;
    auto* leadIn = static_cast<LeadInSeek*>(self);
    GstClockTime target;
    {
        std::lock_guard lock(leadIn->m_mutex);
        if (leadIn->m_seqnum == GST_SEQNUM_INVALID || gst_event_get_seqnum(event) != leadIn->m_seqnum)
            return GST_PAD_PROBE_OK;
        target = leadIn->m_target;
    }
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format != GST_FORMAT_TIME || segment->rate <= 0 || target <= segment->time)
        return GST_PAD_PROBE_OK;

    GstSegment moved;
    gst_segment_copy_into(segment, &moved);
    moved.start = segment->start + (target - segment->time);
    moved.position = moved.start;
    moved.time = target;
    if (GST_CLOCK_TIME_IS_VALID(moved.stop) && moved.stop < moved.start)
        moved.stop = moved.start;
    GstEvent* replacement = gst_event_new_segment(&moved);
    gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
    gst_event_unref(event);
    GST_PAD_PROBE_INFO_DATA(info) = replacement;
    return GST_PAD_PROBE_OK;
}
