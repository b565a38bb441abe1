// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Owning handles for GStreamer and GLib objects: every reference the
// components take is released by one of these, never by hand.

#include <gst/gst.h>

#include <memory>

namespace gsthandle {

// Releases a handle's pointer with the framework's function for its type.
template <auto release>
struct Release {
    template <typename T>
    void operator()(T* pointer) const
    {
        release(pointer);
    }
};

struct ObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            gst_object_unref(object);
    }
};

} // namespace gsthandle

// Any GstObject (elements, pads, buses, clocks).
template <typename T>
using GstObjectHandle = std::unique_ptr<T, gsthandle::ObjectUnref>;
using GstElementHandle = GstObjectHandle<GstElement>;
using GstBusHandle = GstObjectHandle<GstBus>;
using GstPadHandle = GstObjectHandle<GstPad>;

using GstMessageHandle = std::unique_ptr<GstMessage, gsthandle::Release<gst_message_unref>>;
using GstCapsHandle = std::unique_ptr<GstCaps, gsthandle::Release<gst_caps_unref>>;
using GstSampleHandle = std::unique_ptr<GstSample, gsthandle::Release<gst_sample_unref>>;
using GstBufferHandle = std::unique_ptr<GstBuffer, gsthandle::Release<gst_buffer_unref>>;
using GstQueryHandle = std::unique_ptr<GstQuery, gsthandle::Release<gst_query_unref>>;
using GErrorHandle = std::unique_ptr<GError, gsthandle::Release<g_error_free>>;
using GCharHandle = std::unique_ptr<gchar, gsthandle::Release<g_free>>;

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
