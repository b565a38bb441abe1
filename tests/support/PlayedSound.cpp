// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PlayedSound.h"

#include "components/MediaFramework.h"
#include "support/SoundMeasure.h"

#include <QTest>
#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <cmath>
#include <stdexcept>

namespace {

constexpr const char* kMonoFloat = "audioconvert ! audio/x-raw,format=F32LE,channels=1,layout=interleaved";

GstPipelineHandle Parse(const std::string& description)
{
    InitialiseMediaFramework();
    GError* rawError = nullptr;
    GstPipelineHandle element = AdoptPipeline(gst_parse_launch(description.c_str(), &rawError));
    GErrorHandle error(rawError);
    if (!element || error)
        throw std::runtime_error("cannot build " + description + ": " + (error ? error->message : "?"));
    return element;
}

} // namespace

SoundCapture::SoundCapture()
{
    InitialiseMediaFramework();
    GError* rawError = nullptr;
    std::string description = std::string(kMonoFloat) + " ! fakesink name=out sync=true";
    m_bin = AdoptElement(gst_parse_bin_from_description(description.c_str(), TRUE, &rawError));
    GErrorHandle error(rawError);
    if (!m_bin)
        throw std::runtime_error("cannot build the sound capture");
    GstElementHandle out(gst_bin_get_by_name(GST_BIN(m_bin.get()), "out"));
    m_pad.reset(gst_element_get_static_pad(out.get(), "sink"));
    gst_segment_init(&m_segment, GST_FORMAT_TIME);
    m_probe = gst_pad_add_probe(m_pad.get(),
                                GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                                &SoundCapture::OnData, this, nullptr);
}

SoundCapture::~SoundCapture()
{
    gst_pad_remove_probe(m_pad.get(), m_probe);
}

GstElementHandle SoundCapture::Sink() const
{
    return GstElementHandle(GST_ELEMENT(gst_object_ref(m_bin.get())));
}

std::vector<float> SoundCapture::Played() const
{
    std::lock_guard lock(m_mutex);
    return m_played;
}

std::size_t SoundCapture::PlayedCount() const
{
    std::lock_guard lock(m_mutex);
    return m_played.size();
}

int SoundCapture::Rate() const
{
    std::lock_guard lock(m_mutex);
    return m_rate;
}

GstPadProbeReturn SoundCapture::OnData(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    auto* capture = static_cast<SoundCapture*>(self);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        capture->Keep(GST_PAD_PROBE_INFO_BUFFER(info));
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    std::lock_guard lock(capture->m_mutex);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_FLUSH_STOP:
    case GST_EVENT_STREAM_START:
        capture->m_played.clear();
        break;
    case GST_EVENT_SEGMENT: {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        gst_segment_copy_into(segment, &capture->m_segment);
        break;
    }
    case GST_EVENT_CAPS: {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        GstAudioInfo audio;
        if (gst_audio_info_from_caps(&audio, caps))
            capture->m_rate = GST_AUDIO_INFO_RATE(&audio);
        break;
    }
    default:
        break;
    }
    return GST_PAD_PROBE_OK;
}

void SoundCapture::Keep(GstBuffer* buffer)
{
    GstBufferReadMap map(buffer);
    if (!map.mapped())
        return;
    std::lock_guard lock(m_mutex);
    const auto* samples = reinterpret_cast<const float*>(map.data());
    std::size_t count = map.size() / sizeof(float);
    std::size_t first = 0;
    std::size_t end = count;
    GstClockTime start = GST_BUFFER_PTS(buffer);
    // A sound card plays nothing outside the segment.
    if (m_rate > 0 && GST_CLOCK_TIME_IS_VALID(start)) {
        if (start < m_segment.start)
            first = std::min(count, std::size_t(gst_util_uint64_scale_round(m_segment.start - start, m_rate, GST_SECOND)));
        if (GST_CLOCK_TIME_IS_VALID(m_segment.stop))
            end = m_segment.stop <= start ? 0
                                          : std::min(count, std::size_t(gst_util_uint64_scale_round(
                                                                m_segment.stop - start, m_rate, GST_SECOND)));
    }
    if (first < end)
        m_played.insert(m_played.end(), samples + first, samples + end);
}

ServerRecording::ServerRecording()
{
    m_pipeline = Parse("pulsesrc device=spk.monitor buffer-time=20000 latency-time=5000 ! audioconvert ! audioresample "
                       "! audio/x-raw,format=F32LE,channels=1,rate=" + std::to_string(kRate) + " ! appsink name=out sync=false");
    m_sink.reset(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "out"));
    gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
    m_reader = std::thread([this] { Read(); });
}

ServerRecording::~ServerRecording()
{
    m_stop = true;
    m_reader.join();
}

bool ServerRecording::WaitUntilListening()
{
    return QTest::qWaitFor([this] { return Size() > kRate / 10; }, 5000);
}

std::size_t ServerRecording::Size() const
{
    std::lock_guard lock(m_mutex);
    return m_samples.size();
}

std::vector<float> ServerRecording::From(std::size_t first) const
{
    std::lock_guard lock(m_mutex);
    return std::vector<float>(m_samples.begin() + std::ptrdiff_t(std::min(first, m_samples.size())), m_samples.end());
}

void ServerRecording::Read()
{
    while (!m_stop) {
        GstSampleHandle sample(gst_app_sink_try_pull_sample(GST_APP_SINK(m_sink.get()), 100 * GST_MSECOND));
        if (!sample)
            continue;
        GstBufferReadMap map(gst_sample_get_buffer(sample.get()));
        const auto* samples = reinterpret_cast<const float*>(map.data());
        std::lock_guard lock(m_mutex);
        m_samples.insert(m_samples.end(), samples, samples + map.size() / sizeof(float));
    }
}

std::vector<float> AfterSilence(const std::vector<float>& recorded, std::size_t& silence)
{
    silence = 0;
    while (silence < recorded.size() && IsSilent(recorded[silence]))
        ++silence;
    return std::vector<float>(recorded.begin() + std::ptrdiff_t(silence), recorded.end());
}

std::optional<long> FindInReference(const std::vector<float>& reference, const std::vector<float>& played,
                                    long expected, long radius, std::size_t skip, std::size_t window)
{
    if (played.size() < skip + window)
        return std::nullopt;
    double energy = 0;
    for (std::size_t i = 0; i < window; ++i)
        energy += double(played[skip + i]) * played[skip + i];

    std::optional<long> best;
    double bestDifference = 0;
    for (long start = std::max(0L, expected - radius); start <= expected + radius; ++start) {
        if (std::size_t(start) + skip + window > reference.size())
            break;
        double difference = 0;
        for (std::size_t i = 0; i < window && (!best || difference < bestDifference); ++i) {
            double d = double(played[skip + i]) - reference[std::size_t(start) + skip + i];
            difference += d * d;
        }
        if (!best || difference < bestDifference) {
            best = start;
            bestDifference = difference;
        }
    }
    // A true match leaves at most a small rest (a decoder that started afresh).
    if (!best || bestDifference > 0.01 * energy)
        return std::nullopt;
    return best;
}

std::optional<HeardSpan> LocateHeard(const std::vector<float>& reference, const std::vector<float>& recorded,
                                     long expectedFirst, long expectedLast, long radius)
{
    constexpr std::size_t kTail = 2048;
    HeardSpan span;
    std::vector<float> heard = AfterSilence(recorded, span.silenceBefore);
    while (!heard.empty() && IsSilent(heard.back()))
        heard.pop_back();
    if (heard.size() < 2 * kTail)
        return std::nullopt;
    std::optional<long> first = FindInReference(reference, heard, expectedFirst, radius, 0);
    std::vector<float> tail(heard.end() - std::ptrdiff_t(kTail), heard.end());
    std::optional<long> tailStart = FindInReference(reference, tail, expectedLast - long(kTail), radius, 0);
    if (!first || !tailStart)
        return std::nullopt;
    span.first = *first;
    span.last = *tailStart + long(kTail);

    // One sample in ten thousand of the test noise is this quiet; a
    // millisecond (at 44.1 kHz) of them in a row is silence that was put in.
    constexpr std::size_t kOneMs = 44;
    std::size_t quiet = 0;
    for (float sample : heard) {
        quiet = IsSilent(sample) ? quiet + 1 : 0;
        if (quiet == kOneMs)
            ++span.gaps;
    }
    return span;
}
