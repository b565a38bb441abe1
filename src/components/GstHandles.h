#pragma once

// Owning handles for GStreamer and GLib objects: every reference the
// components take is released by one of these, never by hand.

#include <gst/gst.h>

#include <memory>

namespace gsthandle {

struct ObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            gst_object_unref(object);
    }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct CapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
struct SampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct BufferUnref {
    void operator()(GstBuffer* buffer) const { gst_buffer_unref(buffer); }
};
struct QueryUnref {
    void operator()(GstQuery* query) const { gst_query_unref(query); }
};
struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

} // namespace gsthandle

// Any GstObject (elements, pads, buses, clocks).
template <typename T>
using GstObjectHandle = std::unique_ptr<T, gsthandle::ObjectUnref>;
using GstElementHandle = GstObjectHandle<GstElement>;
using GstBusHandle = GstObjectHandle<GstBus>;
using GstPadHandle = GstObjectHandle<GstPad>;

using GstMessageHandle = std::unique_ptr<GstMessage, gsthandle::MessageUnref>;
using GstCapsHandle = std::unique_ptr<GstCaps, gsthandle::CapsUnref>;
using GstSampleHandle = std::unique_ptr<GstSample, gsthandle::SampleUnref>;
using GstBufferHandle = std::unique_ptr<GstBuffer, gsthandle::BufferUnref>;
using GstQueryHandle = std::unique_ptr<GstQuery, gsthandle::QueryUnref>;
using GErrorHandle = std::unique_ptr<GError, gsthandle::ErrorFree>;
using GCharHandle = std::unique_ptr<gchar, gsthandle::GFree>;

// Takes ownership of a floating element (as gst_element_factory_make returns)
// so that the handle holds a real reference.
inline GstElementHandle AdoptElement(GstElement* element)
{
    if (element)
        gst_object_ref_sink(element);
    return GstElementHandle(element);
}

// A buffer mapped for reading for as long as the handle lives. Check mapped()
// before reading data().
class GstBufferReadMap {
public:
    explicit GstBufferReadMap(GstBuffer* buffer) : m_buffer(buffer)
    {
        m_mapped = buffer && gst_buffer_map(buffer, &m_info, GST_MAP_READ);
    }
    ~GstBufferReadMap()
    {
        if (m_mapped)
            gst_buffer_unmap(m_buffer, &m_info);
    }
    GstBufferReadMap(const GstBufferReadMap&) = delete;
    GstBufferReadMap& operator=(const GstBufferReadMap&) = delete;

    bool mapped() const { return m_mapped; }
    const guint8* data() const { return m_info.data; }
    gsize size() const { return m_info.size; }

private:
    GstBuffer* m_buffer;
    GstMapInfo m_info{};
    bool m_mapped = false;
};

// A pipeline that is brought to NULL before its last reference is released,
// so no streaming thread outlives its owner (also when a constructor throws).
namespace gsthandle {
struct PipelineStopUnref {
    void operator()(GstElement* pipeline) const
    {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};
} // namespace gsthandle
using GstPipelineHandle = std::unique_ptr<GstElement, gsthandle::PipelineStopUnref>;

// Takes ownership of a new floating pipeline.
inline GstPipelineHandle AdoptPipeline(GstElement* pipeline)
{
    if (pipeline)
        gst_object_ref_sink(pipeline);
    return GstPipelineHandle(pipeline);
}
