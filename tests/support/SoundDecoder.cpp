#include "support/SoundDecoder.h"

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"

#include <gst/app/gstappsink.h>

#include <optional>

namespace {

// Longest wait for the next decoded block.
constexpr GstClockTime kBlockTimeout = 10 * GST_SECOND;

void Append(DecodedSound& sound, GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (sound.samples.empty()) {
        gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "rate", &sound.rate);
        sound.start = double(gst_segment_to_stream_time(gst_sample_get_segment(sample), GST_FORMAT_TIME,
                                                        GST_BUFFER_PTS(buffer))) / GST_SECOND;
    }
    GstBufferReadMap map(buffer);
    if (!map.mapped())
        return;
    const auto* samples = reinterpret_cast<const float*>(map.data());
    sound.samples.insert(sound.samples.end(), samples, samples + map.size() / sizeof(float));
}

} // namespace

DecodedSound DecodeSound(const std::string& path, std::optional<double> seconds)
{
    DecodedSound sound;
    if (std::optional<std::string> problem = InitialiseMediaFramework()) {
        sound.problem = *problem;
        return sound;
    }
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(
        "filesrc name=in ! decodebin ! audioconvert ! audio/x-raw,format=F32LE,channels=1,layout=interleaved "
        "! appsink name=out sync=false",
        &rawError));
    if (GErrorHandle error(rawError); error || !pipeline) {
        sound.problem = std::string("no decoding pipeline: ") + (error ? error->message : "unknown error");
        return sound;
    }
    GstElementHandle in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
    g_object_set(in.get(), "location", path.c_str(), nullptr);
    GstElementHandle out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);

    auto* appsink = GST_APP_SINK(out.get());
    auto enough = [&] { return seconds && sound.rate > 0 && double(sound.samples.size()) >= *seconds * sound.rate; };
    while (!enough()) {
        GstSampleHandle sample{gst_app_sink_try_pull_sample(appsink, kBlockTimeout)};
        if (!sample)
            break;
        Append(sound, sample.get());
    }
    if (enough())
        return sound;

    GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    if (GstMessageHandle error{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)})
        sound.problem = "cannot decode " + path + ": " + BusError::FromMessage(error.get()).Describe();
    else if (!gst_app_sink_is_eos(appsink))
        sound.problem = "decoding " + path + " did not reach its end";
    else if (sound.samples.empty() || sound.rate == 0)
        sound.problem = "no sound decoded from " + path;
    return sound;
}
