// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/TakeDecoding.h"

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/recorder/EncoderSettings.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>

#include <cstring>
#include <stdexcept>

namespace {

// The longest a stretch of decoding may take before the file counts as broken.
constexpr GstClockTime kStallTimeout = 3 * GST_SECOND;

} // namespace

std::string TakePlaybackFailure(const std::string& path, const std::string& why)
{
    return "Cannot play the take \"" + path + "\": " + why + ".";
}

std::vector<std::int16_t> DecodeTake(const std::string& path)
{
    const std::string description =
        std::string("filesrc name=file ! decodebin ! audioconvert ! audioresample ! audio/x-raw,format=")
        + GST_AUDIO_NE(S16) + ",layout=interleaved,rate=" + std::to_string(encoder_settings::kSampleRate)
        + ",channels=" + std::to_string(encoder_settings::kChannels) + " ! appsink name=sound sync=false";
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(description.c_str(), &rawError));
    if (const GErrorHandle parseError(rawError); parseError || !pipeline)
        throw std::runtime_error(TakePlaybackFailure(path, parseError ? parseError->message : "no decoder"));
    const GstElementHandle file(gst_bin_get_by_name(GST_BIN(pipeline.get()), "file"));
    const GstElementHandle sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sound"));
    g_object_set(file.get(), "location", path.c_str(), nullptr);

    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    std::vector<std::int16_t> samples;
    while (GstSampleHandle sample{gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), kStallTimeout)}) {
        const GstBufferReadMap map(gst_sample_get_buffer(sample.get()));
        if (!map.mapped())
            continue;
        const std::size_t offset = samples.size();
        samples.resize(offset + map.size() / sizeof(std::int16_t));
        std::memcpy(samples.data() + offset, map.data(), map.size() - map.size() % sizeof(std::int16_t));
    }
    const GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    if (const GstMessageHandle error{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)})
        throw std::runtime_error(TakePlaybackFailure(path, BusError::FromMessage(error.get()).Describe()));
    if (!gst_app_sink_is_eos(GST_APP_SINK(sink.get())))
        throw std::runtime_error(TakePlaybackFailure(path, "decoding stalled"));
    return samples;
}
