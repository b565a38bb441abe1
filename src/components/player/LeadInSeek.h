// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <mutex>

// Makes ACCURATE seeks exact in MPEG program streams (.mpg, Video CD .dat).
// Their demuxer starts reading where the stream's system clock reaches the
// target, but a multiplexer stores the sound and pictures of a moment earlier
// in the file than that (measured: sound 80-150 ms, pictures over a second
// late), and a picture also needs the key frame before it. So for these
// streams the seek goes further back, and the segment the demuxer then sends
// is moved to start at the target: the decoders drop all that lies before it,
// as an ACCURATE seek asks. Other streams seek as usual.
class LeadInSeek {
public:
    // How far before the target a program stream is read.
    static constexpr GstClockTime kLeadIn = 2 * GST_SECOND;

    explicit LeadInSeek(GstElement* pipeline);
    ~LeadInSeek();
    LeadInSeek(const LeadInSeek&) = delete;
    LeadInSeek& operator=(const LeadInSeek&) = delete;

    // A flushing, accurate seek to `target` (stream time), to send to the
    // pipeline. With a `stop` the stream ends there, on its exact sample; the
    // stream plays at `rate` (forward).
    GstEvent* SeekEvent(GstClockTime target, GstClockTime stop = GST_CLOCK_TIME_NONE, double rate = 1.0);
    // The pipeline was emptied: the next stream may need no lead-in.
    void Reset();

private:
    static void OnElementAdded(GstBin* pipeline, GstBin* bin, GstElement* element, gpointer self);
    static void OnPadAdded(GstElement* demuxer, GstPad* pad, gpointer self);
    static GstPadProbeReturn OnSegment(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstElement* m_pipeline;
    gulong m_elementAdded = 0;
    std::atomic<bool> m_programStream{false};
    std::mutex m_mutex;
    // The lead-in seek waiting for its segments: its sequence number and target.
    guint32 m_seqnum = GST_SEQNUM_INVALID;
    GstClockTime m_target = GST_CLOCK_TIME_NONE;
};
