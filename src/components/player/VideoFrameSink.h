// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"

#include <gst/app/gstappsink.h>

#include <QImage>
#include <QObject>
#include <functional>
#include <mutex>

// The player's video output: an appsink that turns each frame into a QImage
// (square pixels, RGBx) on the streaming thread and hands the newest one to the
// GUI thread, which alone touches widgets. Frames that pile up while the GUI
// thread is busy are skipped; only the newest is shown.
//
// Build and destroy it on the GUI thread, and take its element out of any
// running pipeline (state NULL) before destroying it.
class VideoFrameSink {
public:
    using FrameHandler = std::function<void(const QImage&)>;

    // Throws PlayerFault (CannotCreate) when the framework has no appsink.
    explicit VideoFrameSink(FrameHandler onFrame);
    ~VideoFrameSink();
    VideoFrameSink(const VideoFrameSink&) = delete;
    VideoFrameSink& operator=(const VideoFrameSink&) = delete;

    GstElement* element() const { return m_sink.get(); }

    // Gives the newest waiting frame, if any, to the handler now (GUI thread).
    void Deliver();
    // Forgets a frame that waits to be shown (its stream has gone).
    void Discard();

private:
    static GstFlowReturn OnPreroll(GstAppSink* sink, gpointer self);
    static GstFlowReturn OnSample(GstAppSink* sink, gpointer self);
    // Streaming thread: converts the sample and posts it to the GUI thread.
    void Post(GstSampleHandle sample);

    GstElementHandle m_sink;
    FrameHandler m_onFrame;
    // Lives on the GUI thread; deliveries queued to it die with it.
    QObject m_guiContext;
    std::mutex m_mutex;
    QImage m_waiting;
    bool m_deliveryQueued = false;
};

// Copies the picture of a sample in RGBx to an image with its own memory; a
// null image when the sample holds no such picture.
QImage ImageFromSample(GstSample* sample);
