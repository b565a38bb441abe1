// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into a test program (see ardeno_test's CHECK_FRAMEWORK_LOG), this
// fails every test during which the media framework warned: a GStreamer
// WARNING or ERROR on its debug log, or a GLib warning or critical (the
// framework's own checks, "Got data flow before segment event" among them,
// are GLib warnings). Only what the framework does by itself on every run is
// let through, listed below with its reason.

#include "components/MediaFramework.h"

#include <glib.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

// A message the framework raises on its own, found by where it comes from (a
// debug category or a GLib log domain; none: any) and a part of its text.
struct FrameworkNoise {
    const char* source;
    const char* text;
    const char* reason;
};

constexpr FrameworkNoise kFrameworkNoise[] = {
    // Every load, seek and stop.
    {"basesrc", "pad not activated yet",
     "playbin's source starts while its pad is activated a moment later, on every load; the source runs as usual"},
    {"default", "Failed to typefind for caps: audio/x-dts",
     "wavparse looks into PCM data for a DTS stream on every WAV it opens and logs as an error that it found none"},
    {"wavparse", "Error getting",
     "wavparse's reading loop logs the flush of a seek, a new file or a stop as a failed read"},
    {"basetransform", "could not get buffer from pool: flushing",
     "a converter asked for a buffer while a seek flushes the pipeline; the buffer is not needed"},
    // Decoders and parsers on the media they were given.
    {"video-info", "colorimetry",
     "the MPEG-1 video decoder gives I420 caps without a colour matrix; the default one is taken, as it should be"},
    {"video-info", "Need to specify a color matrix",
     "the same caps of the MPEG-1 video decoder, checked once more"},
    {"mpegaudioparse", "invalid",
     "the MP3 parser logs each false frame start it passes over while it looks for the next frame"},
    {"tagdemux", "Ignoring broken start tag",
     "the tests' tagged MP3 has an ID3 tag of padding alone, which the tag reader skips as broken, as the test wants"},
    {"wavenc", "have no toc",
     "the WAV encoder making the tests' media looks for a table of contents at its end and says it has none"},
    {"audioencoder", "Can't copy metadata because input buffer disappeared",
     "LAME, making the tests' media, finishes frames after the input they came from has gone (its own delay)"},
    {"audio-resampler", "can't find exact taps",
     "the speed filter's resampler runs at rates its filter table has no exact entry for and interpolates, as designed"},
    // A sound server, and the tests' recording at its monitor.
    {"alsa", "snd_pcm_open",
     "where no sound server is named, the automatic sound output tries ALSA first, which this machine has no card for"},
    {"jackclient", "",
     "the automatic sound output then tries JACK, which no server here runs"},
    {"default", "Can't open file descriptor to probe",
     "and then OSS, which has no device here, before it settles on the output that works"},
    {"GST_POLL", "couldn't find fd",
     "a source whose input stops delivering is torn down while its poll still holds the descriptor; nothing is lost"},
    {"pulse", "Got underflow",
     "the sound server's sink ran dry for a moment on a loaded machine; what is heard is what the tests measure"},
    {"audiosrc", "error reading data -1",
     "a PulseAudio source whose stop interrupts a read reports that read as failed"},
    // Errors the tests make on purpose (a file that is not media, a folder, a
    // broken stream): the framework logs each error as it posts it on the
    // bus, where the player takes it and raises it as a fault that the tests
    // check; an error nobody made therefore fails a test as a fault.
    {nullptr, "error: ", "an error posted on the bus, which the player reports as a fault"},
    {"libav", "damaged at",
     "a test's video is cut off on purpose; the decoder conceals the broken macroblocks and says so"},
    {"libav", "MVs not available", "the same cut-off video: its last frame lacks the motion vectors it refers to"},
    {"GST_ELEMENT_FACTORY", "no such element factory",
     "a test asks for an element that does not exist, to see the program name it and the package that brings it"},
    {"GST_PIPELINE", "no element", "a test describes an input with an element that does not exist, for the same reason"},
    {"basesrc", "Failed to start in push mode", "the source that posted its error could not start"},
    {"collectpads", "has no time segment",
     "the Matroska multiplexer making the tests' subtitled media meets the subtitle parser's stream before its "
     "time segment and takes it as 0-based, which it is"},
    {"aggregator", "Latency query failed",
     "the MP4 multiplexer making the tests' subtitled media asks its inputs for their latency; the subtitle parser "
     "does not answer, and a file has none"},
    {"matroskademux", "Unknown ebml id 0x1254c367",
     "the Matroska demultiplexer, peeking for the next cluster, meets the Tags element written after the last "
     "one and goes on by the file's index"},
    {"qtdemux", "unknown QuickTime node type tx3g",
     "the MP4 demultiplexer's table of box names lacks the timed-text sample entry, which it reads all the same"},
    {"qtdemux", "failed to find fragment defaults",
     "the MP4 multiplexer writes an empty movie-extends box that the demultiplexer looks into; the file is not "
     "fragmented"},
    {"GST_PADS", "Failed to activate pad", "the pad of the source that posted its error could not start"},
};

bool IsFrameworkNoise(const char* source, const std::string& message)
{
    for (const FrameworkNoise& noise : kFrameworkNoise)
        if ((!noise.source || std::strcmp(source, noise.source) == 0) && message.find(noise.text) != std::string::npos)
            return true;
    return false;
}

// The element or pad a debug message is about, as "element:pad".
std::string ObjectName(GObject* object)
{
    if (!object || !GST_IS_OBJECT(object))
        return "";
    if (GST_IS_PAD(object) && GST_OBJECT_PARENT(object))
        return std::string(GST_OBJECT_NAME(GST_OBJECT_PARENT(object))) + ":" + GST_OBJECT_NAME(object);
    return GST_OBJECT_NAME(object) ? GST_OBJECT_NAME(object) : "";
}

const char* LevelName(GLogLevelFlags level)
{
    if (level & G_LOG_LEVEL_ERROR)
        return "error";
    return level & G_LOG_LEVEL_CRITICAL ? "critical" : "warning";
}

class FrameworkLogCheck : public testing::EmptyTestEventListener {
public:
    static FrameworkLogCheck* Installed;

    void OnTestProgramStart(const testing::UnitTest&) override
    {
        if (std::optional<std::string> problem = InitialiseMediaFramework()) {
            std::fprintf(stderr, "The media framework cannot be used: %s\n", problem->c_str());
            return;
        }
        if (gst_debug_get_default_threshold() < GST_LEVEL_WARNING)
            gst_debug_set_default_threshold(GST_LEVEL_WARNING);
        // Unasked for, the warnings are shown only in the failures they make.
        if (!std::getenv("GST_DEBUG"))
            gst_debug_remove_log_function(gst_debug_log_default);
        gst_debug_add_log_function(OnDebugMessage, nullptr, nullptr);
        g_log_set_writer_func(OnGLibMessage, nullptr, nullptr);
    }

    void OnTestStart(const testing::TestInfo&) override
    {
        std::lock_guard lock(m_mutex);
        m_raised.clear();
        m_inTest = true;
    }

    // Runs before the result printer's (the end of a test goes to the
    // listeners in reverse order), so the test is reported as failed.
    void OnTestEnd(const testing::TestInfo&) override
    {
        std::vector<std::string> raised;
        {
            std::lock_guard lock(m_mutex);
            raised.swap(m_raised);
            m_inTest = false;
        }
        if (raised.empty())
            return;
        std::string list;
        for (const std::string& message : raised)
            list += "\n  " + message;
        ADD_FAILURE() << "The media framework warned " << raised.size() << " time(s) during the test:" << list;
    }

private:
    void Note(std::string message)
    {
        std::lock_guard lock(m_mutex);
        if (m_inTest)
            m_raised.push_back(std::move(message));
    }

    static void OnDebugMessage(GstDebugCategory* category, GstDebugLevel level, const gchar* file,
                               const gchar* function, gint line, GObject* object, GstDebugMessage* message,
                               gpointer)
    {
        if (level > GST_LEVEL_WARNING)
            return;
        const char* source = gst_debug_category_get_name(category);
        const std::string text = gst_debug_message_get(message) ? gst_debug_message_get(message) : "";
        if (IsFrameworkNoise(source, text))
            return;
        Installed->Note(std::string("GStreamer ") + gst_debug_level_get_name(level) + " " + source + " " +
                        file + ":" + std::to_string(line) + ":" + function + ":<" + ObjectName(object) + "> " +
                        text);
    }

    static GLogWriterOutput OnGLibMessage(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data)
    {
        if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
            std::string domain = "(no domain)";
            std::string text;
            for (gsize i = 0; i < count; ++i) {
                if (fields[i].length >= 0)
                    continue; // not text
                if (std::strcmp(fields[i].key, "GLIB_DOMAIN") == 0)
                    domain = static_cast<const char*>(fields[i].value);
                else if (std::strcmp(fields[i].key, "MESSAGE") == 0)
                    text = static_cast<const char*>(fields[i].value);
            }
            if (!IsFrameworkNoise(domain.c_str(), text))
                Installed->Note(domain + " " + LevelName(level) + ": " + text);
        }
        return g_log_writer_default(level, fields, count, data);
    }

    std::mutex m_mutex;
    std::vector<std::string> m_raised;
    bool m_inTest = false;
};

FrameworkLogCheck* FrameworkLogCheck::Installed = nullptr;

// GoogleTest owns its listeners; this one is there before main() runs.
const bool kInstalled = [] {
    FrameworkLogCheck::Installed = new FrameworkLogCheck;
    testing::UnitTest::GetInstance()->listeners().Append(FrameworkLogCheck::Installed);
    return true;
}();

} // namespace
