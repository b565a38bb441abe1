// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/SpeedFilter.h"

#include "components/GstElements.h"
#include "components/player/PlayerFault.h"
#include "components/stretch/TimeStretcher.h"

#include <gst/audio/audio.h>

#include <cmath>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

namespace {

// The stretching element: float samples in, float samples out. The streaming
// thread runs it; SourceOf reads it from others, under the mutex. Nothing is
// pushed on while the mutex is held: a sink that waits must not block readers.
struct StretchState {
    mutable std::mutex mutex;
    std::optional<TimeStretcher> stretcher;
    int rate = 0;
    int channels = 0;
    // The rate of the current segment, and whether it is stretched at all.
    double speed = 1;
    bool stretching = false;
    // The segment as it came in (media time).
    GstSegment segment{};
    // Where the segment's first input frame and first output frame lie (both
    // known once its first sound came), and how many frames went out.
    GstClockTime inStart = GST_CLOCK_TIME_NONE;
    GstClockTime outStart = GST_CLOCK_TIME_NONE;
    std::int64_t outFrames = 0;
};

struct StretchElement {
    GstElement parent;
    GstPad* sinkPad;
    GstPad* srcPad;
    StretchState state;
};

struct StretchElementClass {
    GstElementClass parent;
};

G_DEFINE_TYPE(StretchElement, stretch_element, GST_TYPE_ELEMENT)

#define FLOAT_CAPS GST_AUDIO_CAPS_MAKE(GST_AUDIO_NE(F32))

GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                                            GST_STATIC_CAPS(FLOAT_CAPS));
GstStaticPadTemplate srcTemplate = GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                                           GST_STATIC_CAPS(FLOAT_CAPS));

StretchElement* Self(GstObject* parent)
{
    return reinterpret_cast<StretchElement*>(parent);
}

GstClockTime FramesToTime(std::int64_t frames, int rate)
{
    return gst_util_uint64_scale_round(guint64(frames), GST_SECOND, guint64(rate));
}

// Starts the stretch of a new segment or after a flush (mutex held).
void Restart(StretchState& state)
{
    if (state.stretcher)
        state.stretcher->Restart(state.speed);
    state.inStart = GST_CLOCK_TIME_NONE;
    state.outStart = GST_CLOCK_TIME_NONE;
    state.outFrames = 0;
}

// Nothing held and no segment: after a flush, at a new stream and when the
// element stops, the sound held belongs to a stream that is gone, and nothing
// may go out before the next segment has (mutex held).
void Forget(StretchState& state)
{
    state.speed = 1;
    state.stretching = false;
    gst_segment_init(&state.segment, GST_FORMAT_TIME);
    Restart(state);
}

// The output ready so far, as a buffer timed by its frames, so that the
// output runs on without a gap and the sink finds each sample where it
// belongs; nothing when none is ready (mutex held).
GstBuffer* TakeReady(StretchState& state)
{
    if (!state.stretcher)
        return nullptr;
    std::vector<float> ready;
    const std::size_t frames = state.stretcher->Pull(ready);
    if (frames == 0)
        return nullptr;
    const gsize bytes = ready.size() * sizeof(float);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, ready.data(), bytes);
    const GstClockTime start = state.outStart + FramesToTime(state.outFrames, state.rate);
    if (state.outFrames == 0)
        GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    state.outFrames += std::int64_t(frames);
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DURATION(buffer) = state.outStart + FramesToTime(state.outFrames, state.rate) - start;
    return buffer;
}

GstFlowReturn Push(StretchElement* self, GstBuffer* buffer)
{
    return buffer ? gst_pad_push(self->srcPad, buffer) : GST_FLOW_OK;
}

// The segment's input has ended: the rest of its output goes out.
void Drain(StretchElement* self)
{
    GstBuffer* rest = nullptr;
    {
        std::lock_guard lock(self->state.mutex);
        if (!self->state.stretching || !self->state.stretcher)
            return;
        self->state.stretcher->Finish();
        rest = TakeReady(self->state);
    }
    Push(self, rest);
}

GstFlowReturn Chain(GstPad*, GstObject* parent, GstBuffer* buffer)
{
    StretchElement* self = Self(parent);
    StretchState& state = self->state;
    GstBuffer* output = nullptr;
    {
        std::lock_guard lock(state.mutex);
        if (!state.stretching)
            output = buffer;
        else if (!state.stretcher) {
            gst_buffer_unref(buffer);
            return GST_FLOW_NOT_NEGOTIATED;
        } else {
            const int frameBytes = state.channels * int(sizeof(float));
            GstBufferHandle clipped(gst_audio_buffer_clip(buffer, &state.segment, state.rate, frameBytes));
            if (!clipped)
                return GST_FLOW_OK;
            if (!GST_CLOCK_TIME_IS_VALID(state.inStart)) {
                const GstClockTime start = state.segment.start;
                GstClockTime first = GST_BUFFER_PTS(clipped.get());
                state.inStart = GST_CLOCK_TIME_IS_VALID(first) && first > start ? first : start;
                state.outStart = start + GstClockTime(std::llround(double(state.inStart - start) / state.speed));
            }
            GstBufferReadMap map(clipped.get());
            if (map.mapped())
                state.stretcher->Push(reinterpret_cast<const float*>(map.data()), map.size() / gsize(frameBytes));
            output = TakeReady(state);
        }
    }
    return Push(self, output);
}

// The segment passed on: rate 1, played at the input's rate applied; its stop
// where the output of the input's stop ends.
GstEvent* StretchedSegment(GstEvent* event, const GstSegment& in)
{
    GstSegment out;
    gst_segment_copy_into(&in, &out);
    out.rate = 1.0;
    out.applied_rate = in.applied_rate * in.rate;
    if (GST_CLOCK_TIME_IS_VALID(in.stop) && in.stop > in.start)
        out.stop = in.start + GstClockTime(std::llround(double(in.stop - in.start) / in.rate));
    out.position = out.start;
    GstEvent* stretched = gst_event_new_segment(&out);
    gst_event_set_seqnum(stretched, gst_event_get_seqnum(event));
    gst_event_unref(event);
    return stretched;
}

gboolean SinkEvent(GstPad* pad, GstObject* parent, GstEvent* event)
{
    StretchElement* self = Self(parent);
    StretchState& state = self->state;
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_CAPS: {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        GstAudioInfo info;
        if (!gst_audio_info_from_caps(&info, caps)) {
            gst_event_unref(event);
            return FALSE;
        }
        Drain(self);
        std::lock_guard lock(state.mutex);
        state.rate = GST_AUDIO_INFO_RATE(&info);
        state.channels = GST_AUDIO_INFO_CHANNELS(&info);
        state.stretcher.emplace(state.channels, state.rate);
        Restart(state);
        break;
    }
    case GST_EVENT_SEGMENT: {
        Drain(self);
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        std::lock_guard lock(state.mutex);
        gst_segment_copy_into(segment, &state.segment);
        const bool timed = segment->format == GST_FORMAT_TIME && segment->rate > 0;
        state.speed = timed ? segment->rate : 1.0;
        state.stretching = timed && std::abs(segment->rate - 1.0) > 1e-9;
        Restart(state);
        if (state.stretching)
            event = StretchedSegment(event, *segment);
        break;
    }
    case GST_EVENT_STREAM_START: {
        // The rest of the stream before goes out under its own segment.
        Drain(self);
        std::lock_guard lock(state.mutex);
        Forget(state);
        break;
    }
    case GST_EVENT_FLUSH_STOP: {
        std::lock_guard lock(state.mutex);
        Forget(state);
        break;
    }
    case GST_EVENT_EOS:
        Drain(self);
        break;
    case GST_EVENT_GAP: {
        std::lock_guard lock(state.mutex);
        if (!state.stretching)
            break;
        GstClockTime time = GST_CLOCK_TIME_NONE;
        GstClockTime duration = GST_CLOCK_TIME_NONE;
        gst_event_parse_gap(event, &time, &duration);
        const GstClockTime start = state.segment.start;
        if (GST_CLOCK_TIME_IS_VALID(time) && time >= start)
            time = start + GstClockTime(std::llround(double(time - start) / state.speed));
        if (GST_CLOCK_TIME_IS_VALID(duration))
            duration = GstClockTime(std::llround(double(duration) / state.speed));
        gst_event_unref(event);
        event = gst_event_new_gap(time, duration);
        break;
    }
    default:
        return gst_pad_event_default(pad, parent, event);
    }
    return gst_pad_push_event(self->srcPad, event);
}

// A stopped element starts its next stream afresh: a file opened after one
// played slower must not begin with the rest of that one's sound.
GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition)
{
    GstStateChangeReturn result = GST_ELEMENT_CLASS(stretch_element_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        StretchState& state = Self(GST_OBJECT(element))->state;
        std::lock_guard lock(state.mutex);
        Forget(state);
    }
    return result;
}

void stretch_element_finalize(GObject* object)
{
    reinterpret_cast<StretchElement*>(object)->state.~StretchState();
    G_OBJECT_CLASS(stretch_element_parent_class)->finalize(object);
}

void stretch_element_class_init(StretchElementClass* elementClass)
{
    G_OBJECT_CLASS(elementClass)->finalize = stretch_element_finalize;
    auto* klass = GST_ELEMENT_CLASS(elementClass);
    klass->change_state = ChangeState;
    gst_element_class_add_static_pad_template(klass, &sinkTemplate);
    gst_element_class_add_static_pad_template(klass, &srcTemplate);
    gst_element_class_set_static_metadata(klass, "Speed at pitch", "Filter/Effect/Audio",
                                          "Plays sound at its segment's rate, keeping its pitch", "Ardeno");
}

void stretch_element_init(StretchElement* self)
{
    new (&self->state) StretchState();
    gst_segment_init(&self->state.segment, GST_FORMAT_TIME);
    self->sinkPad = gst_pad_new_from_static_template(&sinkTemplate, "sink");
    gst_pad_set_chain_function(self->sinkPad, Chain);
    gst_pad_set_event_function(self->sinkPad, SinkEvent);
    GST_PAD_SET_PROXY_CAPS(self->sinkPad);
    GST_PAD_SET_PROXY_ALLOCATION(self->sinkPad);
    gst_element_add_pad(GST_ELEMENT(self), self->sinkPad);
    self->srcPad = gst_pad_new_from_static_template(&srcTemplate, "src");
    GST_PAD_SET_PROXY_CAPS(self->srcPad);
    GST_PAD_SET_PROXY_ALLOCATION(self->srcPad);
    gst_element_add_pad(GST_ELEMENT(self), self->srcPad);
}

// A pad of `element` shown on `bin` under the same name.
void Ghost(GstElement* bin, GstElement* element, const char* name)
{
    GstPadHandle pad(gst_element_get_static_pad(element, name));
    gst_element_add_pad(bin, gst_ghost_pad_new(name, pad.get()));
}

} // namespace

SpeedFilter::SpeedFilter() : m_bin(AdoptElement(gst_bin_new("speed-filter")))
{
    GstElementHandle convert = MakeElement("audioconvert");
    if (!convert)
        throw PlayerFault(PlayerFaultCode::CannotCreate, PlayerOperation::Create, MissingElementText("audioconvert"));
    GstElementHandle stretch = AdoptElement(GST_ELEMENT(g_object_new(stretch_element_get_type(), nullptr)));
    m_stretch = stretch.get();
    gst_bin_add_many(GST_BIN(m_bin.get()), convert.get(), stretch.get(), nullptr);
    gst_element_link(convert.get(), stretch.get());
    Ghost(m_bin.get(), convert.get(), "sink");
    Ghost(m_bin.get(), stretch.get(), "src");
}

double SpeedFilter::SourceOf(double seconds) const
{
    const StretchState& state = reinterpret_cast<StretchElement*>(m_stretch)->state;
    std::lock_guard lock(state.mutex);
    if (!state.stretching || !state.stretcher || !GST_CLOCK_TIME_IS_VALID(state.outStart))
        return seconds;
    // Stream time to the output's time, to its frame, to the input frame its
    // sound comes from, and back to stream time.
    const GstSegment& segment = state.segment;
    const double streamStart = double(segment.time) / GST_SECOND;
    const double outputTime = double(segment.start) / GST_SECOND + (seconds - streamStart) / state.speed;
    const auto frame = std::int64_t(std::llround((outputTime - double(state.outStart) / GST_SECOND) * state.rate));
    std::optional<std::int64_t> source = state.stretcher->SourceOf(frame);
    if (!source)
        return seconds;
    const double inputTime = double(state.inStart) / GST_SECOND + double(*source) / state.rate;
    return streamStart + inputTime - double(segment.start) / GST_SECOND;
}
