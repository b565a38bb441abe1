// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/TakeDecoding.h"

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/recorder/EncoderSettings.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace {

// The longest a stretch of decoding may take before the file counts as broken.
constexpr GstClockTime kStallTimeout = 3 * GST_SECOND;

// The sound of `path` converted to `format` (raw audio caps), as it comes,
// from the start of `stretch` to its end (the whole file without one).
// Throws std::runtime_error with what went wrong, without the file's name.
std::vector<std::byte> DecodeRaw(const std::string& path, const std::string& format,
                                 const std::optional<TimeSpan>& stretch)
{
    const std::string description = "filesrc name=file ! decodebin ! audioconvert ! audioresample ! " + format
                                    + " ! appsink name=sound sync=false";
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(description.c_str(), &rawError));
    if (const GErrorHandle parseError(rawError); parseError || !pipeline)
        throw std::runtime_error(parseError ? parseError->message : "no decoder");
    const GstElementHandle file(gst_bin_get_by_name(GST_BIN(pipeline.get()), "file"));
    const GstElementHandle sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sound"));
    g_object_set(file.get(), "location", path.c_str(), nullptr);
    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    const auto failure = [&](const char* otherwise) {
        if (const GstMessageHandle error{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)})
            return std::runtime_error(BusError::FromMessage(error.get()).Describe());
        return std::runtime_error(otherwise);
    };

    if (stretch) {
        gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
        if (gst_element_get_state(pipeline.get(), nullptr, nullptr, kStallTimeout) != GST_STATE_CHANGE_SUCCESS)
            throw failure("the file could not be opened");
        const auto nanoseconds = [](double seconds) { return GstClockTime(std::max(0.0, seconds) * GST_SECOND); };
        if (!gst_element_seek(pipeline.get(), 1.0, GST_FORMAT_TIME,
                              GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                              nanoseconds(stretch->start), GST_SEEK_TYPE_SET, nanoseconds(stretch->end)))
            throw failure("the file cannot be read from a point in it");
    }
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        throw failure("the file could not be opened");
    std::vector<std::byte> sound;
    while (GstSampleHandle sample{gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), kStallTimeout)}) {
        const GstBufferReadMap map(gst_sample_get_buffer(sample.get()));
        if (map.mapped())
            sound.insert(sound.end(), reinterpret_cast<const std::byte*>(map.data()),
                         reinterpret_cast<const std::byte*>(map.data()) + map.size());
    }
    if (!gst_app_sink_is_eos(GST_APP_SINK(sink.get())))
        throw failure("decoding stalled");
    if (const GstMessageHandle error{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)})
        throw std::runtime_error(BusError::FromMessage(error.get()).Describe());
    return sound;
}

template <typename Sample>
std::vector<Sample> SamplesOf(const std::vector<std::byte>& bytes)
{
    std::vector<Sample> samples(bytes.size() / sizeof(Sample));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(Sample));
    return samples;
}

} // namespace

std::vector<std::int16_t> DecodeTake(const std::string& path)
{
    const std::string format = std::string("audio/x-raw,format=") + GST_AUDIO_NE(S16) + ",layout=interleaved,rate="
                               + std::to_string(encoder_settings::kSampleRate)
                               + ",channels=" + std::to_string(encoder_settings::kChannels);
    try {
        return SamplesOf<std::int16_t>(DecodeRaw(path, format, std::nullopt));
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(TakePlaybackFailure(path, error.what()));
    }
}

std::vector<float> DecodeMonoSound(const std::string& path, const std::optional<TimeSpan>& stretch, int rate)
{
    const std::string format = std::string("audio/x-raw,format=") + GST_AUDIO_NE(F32)
                               + ",layout=interleaved,channels=1,rate=" + std::to_string(rate);
    try {
        return SamplesOf<float>(DecodeRaw(path, format, stretch));
    } catch (const std::runtime_error& error) {
        throw std::runtime_error("Cannot read the sound of \"" + path + "\": " + error.what() + ".");
    }
}

std::string TakePlaybackFailure(const std::string& path, const std::string& why)
{
    return "Cannot play the take \"" + path + "\": " + why + ".";
}
