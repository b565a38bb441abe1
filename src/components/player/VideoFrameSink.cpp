// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/player/VideoFrameSink.h"

#include "components/GstElements.h"
#include "components/GuiThread.h"
#include "components/player/PlayerFault.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

VideoFrameSink::VideoFrameSink(FrameHandler onFrame) : m_onFrame(std::move(onFrame))
{
    Q_ASSERT(OnGuiThread());
    m_sink = MakeElement("appsink", "video-frames");
    if (!m_sink)
        throw PlayerFault(PlayerFaultCode::CannotCreate, PlayerOperation::Create, MissingElementText("appsink"));

    // Square pixels, so that the picture keeps its shape when it is painted;
    // the player's own converter scales non-square formats such as Video CD.
    GstCapsHandle caps(gst_caps_from_string("video/x-raw, format=(string)RGBx, pixel-aspect-ratio=(fraction)1/1"));
    // Frames are handed over at their presentation time (sync), late ones are
    // dropped upstream (qos), and no reference to a shown frame is kept.
    g_object_set(m_sink.get(), "caps", caps.get(), "sync", TRUE, "qos", TRUE, "max-buffers", 2u, "drop", TRUE,
                 "enable-last-sample", FALSE, nullptr);

    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = &VideoFrameSink::OnPreroll;
    callbacks.new_sample = &VideoFrameSink::OnSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(m_sink.get()), &callbacks, this, nullptr);
}

VideoFrameSink::~VideoFrameSink()
{
    Q_ASSERT(OnGuiThread());
    GstAppSinkCallbacks none{};
    gst_app_sink_set_callbacks(GST_APP_SINK(m_sink.get()), &none, nullptr, nullptr);
}

GstFlowReturn VideoFrameSink::OnPreroll(GstAppSink* sink, gpointer self)
{
    static_cast<VideoFrameSink*>(self)->Post(GstSampleHandle(gst_app_sink_pull_preroll(sink)));
    return GST_FLOW_OK;
}

GstFlowReturn VideoFrameSink::OnSample(GstAppSink* sink, gpointer self)
{
    static_cast<VideoFrameSink*>(self)->Post(GstSampleHandle(gst_app_sink_pull_sample(sink)));
    return GST_FLOW_OK;
}

void VideoFrameSink::Post(GstSampleHandle sample)
{
    if (!sample)
        return;
    QImage frame = ImageFromSample(sample.get());
    if (frame.isNull())
        return;
    std::lock_guard lock(m_mutex);
    m_waiting = std::move(frame);
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(&m_guiContext, [this] { Deliver(); }, Qt::QueuedConnection);
}

void VideoFrameSink::Deliver()
{
    Q_ASSERT(OnGuiThread());
    QImage frame;
    {
        std::lock_guard lock(m_mutex);
        frame.swap(m_waiting);
        m_deliveryQueued = false;
    }
    if (!frame.isNull())
        m_onFrame(frame);
}

void VideoFrameSink::Discard()
{
    std::lock_guard lock(m_mutex);
    m_waiting = QImage();
}

QImage ImageFromSample(GstSample* sample)
{
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps) || GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_RGBx)
        return {};
    int width = GST_VIDEO_INFO_WIDTH(&info);
    int height = GST_VIDEO_INFO_HEIGHT(&info);
    int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    gsize offset = GST_VIDEO_INFO_PLANE_OFFSET(&info, 0);
    if (const GstVideoMeta* meta = gst_buffer_get_video_meta(buffer)) {
        stride = meta->stride[0];
        offset = meta->offset[0];
    }
    GstBufferReadMap map(buffer);
    if (!map.mapped() || width <= 0 || height <= 0 || offset + gsize(stride) * gsize(height) > map.size())
        return {};
    return QImage(map.data() + offset, width, height, stride, QImage::Format_RGBX8888).copy();
}
