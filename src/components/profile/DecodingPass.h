// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"
#include "components/profile/BlockMeter.h"

#include <gst/app/gstappsink.h>

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

class BusWatcher;

// One pass through the sound of a file, as fast as it decodes, on a pipeline
// of its own (apart from the player's, which it never disturbs): the file,
// decodebin, and the first sound stream converted to 32-bit float at the
// file's own rate and channels into an appsink. Other streams are parsed but
// not decoded. Each decoded piece of sound goes to the sound handler on the
// framework's streaming thread; the end of the pass (the end of the sound, or
// why it could not be decoded to its end) goes once to the end handler on the
// GUI thread, through its event loop.
//
// Build and destroy it on the GUI thread. Destroying it stops the pass at
// once: on return no handler runs any more.
class DecodingPass {
public:
    using SoundHandler = std::function<void(const SoundChunk&)>;
    // Empty when the sound was decoded to its end.
    using EndHandler = std::function<void(const std::string& problem)>;

    // Starts the pass. Throws std::runtime_error when the media framework or
    // one of the elements is missing.
    DecodingPass(const std::string& path, SoundHandler onSound, EndHandler onEnd);
    ~DecodingPass();
    DecodingPass(const DecodingPass&) = delete;
    DecodingPass& operator=(const DecodingPass&) = delete;

private:
    static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
    static void OnNoMorePads(GstElement* decoder, gpointer self);
    static GstFlowReturn OnSample(GstAppSink* sink, gpointer self);
    // Streaming thread: a stream that is not the sound goes to a sink that
    // drops it.
    void Discard(GstPad* pad);
    void OnBusMessage(GstMessage* message);
    // Hands the end to the end handler, the first time only.
    void End(const std::string& problem);

    SoundHandler m_onSound;
    EndHandler m_onEnd;
    GstPipelineHandle m_pipeline;
    // The converter the sound stream is linked to (the pipeline holds it).
    GstElement* m_convert = nullptr;
    std::unique_ptr<BusWatcher> m_bus;
    std::atomic<bool> m_soundLinked{false};
    std::atomic<bool> m_stopping{false};
    bool m_ended = false;
    // Lives on the GUI thread; the end queued to it dies with it.
    QObject m_guiContext;
};
