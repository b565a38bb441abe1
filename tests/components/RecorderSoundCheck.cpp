#include "RecorderSoundCheck.h"

#include "components/GstHandles.h"

#include <gst/app/gstappsink.h>

#include <cmath>
#include <sstream>
#include <thread>

namespace {

constexpr double kWindowSeconds = 0.005;
// The tone is recorded at half scale; its windows' RMS is about 0.35.
constexpr double kLoudRms = 0.05;

std::vector<double> WindowRms(const DecodedSound& sound, std::size_t& window)
{
    window = static_cast<std::size_t>(sound.rate * kWindowSeconds);
    std::vector<double> rms;
    for (std::size_t at = 0; window > 0 && at + window <= sound.samples.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i)
            sum += double(sound.samples[i]) * sound.samples[i];
        rms.push_back(std::sqrt(sum / window));
    }
    return rms;
}

} // namespace

std::string ToneInput(int frequency, double seconds)
{
    // 10 ms buffers, so that a length in seconds is a whole number of them.
    std::ostringstream text;
    text << "audiotestsrc is-live=true wave=sine volume=0.5 samplesperbuffer=441 freq=" << frequency;
    if (seconds > 0)
        text << " num-buffers=" << std::lround(seconds * 100);
    text << " ! capsfilter caps=audio/x-raw,rate=44100,channels=1";
    return text.str();
}

DecodedSound DecodeRecording(const std::string& path)
{
    DecodedSound sound;
    gst_init(nullptr, nullptr);
    GError* rawError = nullptr;
    const GstPipelineHandle pipeline(gst_parse_launch(
        "filesrc name=file ! decodebin ! audioconvert ! audio/x-raw,format=F32LE,channels=1 ! appsink name=out sync=false",
        &rawError));
    if (const GErrorHandle error(rawError); error || !pipeline) {
        sound.problem = error ? error->message : "no decoding pipeline";
        return sound;
    }
    const GstElementHandle file(gst_bin_get_by_name(GST_BIN(pipeline.get()), "file"));
    const GstElementHandle out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    g_object_set(file.get(), "location", path.c_str(), nullptr);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);

    auto* appsink = GST_APP_SINK(out.get());
    while (!gst_app_sink_is_eos(appsink)) {
        const GstSampleHandle sample(gst_app_sink_try_pull_sample(appsink, 5 * GST_SECOND));
        if (!sample)
            break;
        if (sound.rate == 0) {
            const GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample.get()), 0);
            gst_structure_get_int(caps, "rate", &sound.rate);
        }
        GstBuffer* buffer = gst_sample_get_buffer(sample.get());
        const std::size_t had = sound.samples.size();
        sound.samples.resize(had + gst_buffer_get_size(buffer) / sizeof(float));
        gst_buffer_extract(buffer, 0, sound.samples.data() + had, (sound.samples.size() - had) * sizeof(float));
    }

    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    if (const GstMessageHandle error(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)); error) {
        GError* rawDecodeError = nullptr;
        gst_message_parse_error(error.get(), &rawDecodeError, nullptr);
        const GErrorHandle decodeError(rawDecodeError);
        sound.problem = decodeError->message;
    } else if (!gst_app_sink_is_eos(appsink)) {
        sound.problem = "decoding did not reach the end within 5 s";
    } else if (sound.samples.empty() || sound.rate == 0) {
        sound.problem = "no sound decoded";
    }
    return sound;
}

ToneSpan FindTone(const DecodedSound& sound)
{
    std::size_t window = 0;
    const std::vector<double> rms = WindowRms(sound, window);
    std::size_t first = rms.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < rms.size(); ++i) {
        if (rms[i] < kLoudRms)
            continue;
        first = std::min(first, i);
        last = i;
    }
    if (first == rms.size())
        return {};
    return {double(first * window) / sound.rate, double((last + 1) * window) / sound.rate};
}

double ToneFrequency(const DecodedSound& sound, ToneSpan span)
{
    // Rising zero crossings, each after the wave was clearly negative, so
    // that coding noise around zero adds none; the frequency follows from the
    // time between the first and the last.
    const auto from = static_cast<std::size_t>(span.start * sound.rate);
    const auto to = std::min(sound.samples.size(), static_cast<std::size_t>(span.end * sound.rate));
    bool negative = false;
    int crossings = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (sound.samples[i] < -kLoudRms) {
            negative = true;
        } else if (negative && sound.samples[i] >= 0) {
            negative = false;
            if (crossings++ == 0)
                first = i;
            last = i;
        }
    }
    return crossings > 1 ? double(crossings - 1) * sound.rate / double(last - first) : 0;
}

double LongestQuietStretch(const DecodedSound& sound, ToneSpan span)
{
    std::size_t window = 0;
    const std::vector<double> rms = WindowRms(sound, window);
    const auto from = static_cast<std::size_t>(span.start / kWindowSeconds);
    const auto to = std::min(rms.size(), static_cast<std::size_t>(span.end / kWindowSeconds));
    std::size_t run = 0;
    std::size_t longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        run = rms[i] < kLoudRms ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest * kWindowSeconds;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
