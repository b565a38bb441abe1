// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"
#include "components/transcript/SubtitleCues.h"
#include "components/transcript/SubtitleStreams.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class BusWatcher;

// One pass through a media file for its text streams, on a pipeline of its
// own: the file, decodebin, every text stream into a sink that drops it after
// a probe has kept its buffers, every other stream undecoded (its decoder is
// never loaded) into a sink that drops it. Nothing waits for a clock, so the
// pass takes as long as demultiplexing the file. Its end (the streams read, or
// why the file could not be read to its end) goes once to the end handler on
// the GUI thread, through its event loop; a file without text streams ends
// as soon as its streams are known.
//
// Build and destroy it on the GUI thread. Destroying it stops the pass at
// once: on return no handler runs any more.
class SubtitlePass {
public:
    using EndHandler = std::function<void(SubtitleReading reading)>;

    // Starts the pass. Throws std::runtime_error when the media framework or
    // one of the elements is missing.
    SubtitlePass(const std::string& path, EndHandler onEnd);
    ~SubtitlePass();
    SubtitlePass(const SubtitlePass&) = delete;
    SubtitlePass& operator=(const SubtitlePass&) = delete;

private:
    // What a text stream gave so far; filled on its streaming thread.
    struct TextStream {
        SubtitlePass* pass = nullptr;
        std::string id;
        std::string language;
        std::string title;
        bool pangoMarkup = false;
        GstSegment segment{};
        std::vector<SubtitleCue> cues;
    };

    static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
    static void OnNoMorePads(GstElement* decoder, gpointer self);
    static GstPadProbeReturn OnTextData(GstPad* pad, GstPadProbeInfo* info, gpointer stream);
    // Streaming thread: `pad` into a sink that drops what it gets.
    void Drop(GstPad* pad);
    void Keep(TextStream& stream, GstPadProbeInfo* info);
    void OnBusMessage(GstMessage* message);
    // The streams in the file's order, with `problem`, to the end handler,
    // the first time only.
    void End(const std::string& problem);

    std::string m_path;
    EndHandler m_onEnd;
    GstPipelineHandle m_pipeline;
    std::unique_ptr<BusWatcher> m_bus;
    // The streaming threads add streams and fill them; the GUI thread takes
    // them at the end.
    std::mutex m_lock;
    std::vector<std::unique_ptr<TextStream>> m_streams;
    std::atomic<bool> m_stopping{false};
    bool m_ended = false;
    // Lives on the GUI thread; the end queued to it dies with it.
    QObject m_guiContext;
};
