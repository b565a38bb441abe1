// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SoundDecoder.h"

#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"

#include <gst/app/gstappsink.h>

#include <algorithm>
#include <cmath>

namespace {

// Longest wait for the next decoded block.
constexpr GstClockTime kBlockTimeout = 10 * GST_SECOND;

// Decodes `path` from its start, handing each block of samples to `take` with
// the file's rate and where its first sample lies (seconds), until `take`
// wants no more (it returns false) or the file ends. Returns why the file
// could not be decoded as far as that; empty when it could.
template <typename Take>
std::string Decode(const std::string& path, Take take)
{
    if (std::optional<std::string> problem = InitialiseMediaFramework())
        return *problem;
    GError* rawError = nullptr;
    GstPipelineHandle pipeline = AdoptPipeline(gst_parse_launch(
        "filesrc name=in ! decodebin ! audioconvert ! audio/x-raw,format=F32LE,channels=1,layout=interleaved "
        "! appsink name=out sync=false",
        &rawError));
    if (GErrorHandle error(rawError); error || !pipeline)
        return std::string("no decoding pipeline: ") + (error ? error->message : "unknown error");
    GstElementHandle in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
    g_object_set(in.get(), "location", path.c_str(), nullptr);
    GstElementHandle out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);

    auto* appsink = GST_APP_SINK(out.get());
    int rate = 0;
    double start = 0;
    bool decoded = false;
    while (GstSampleHandle sample{gst_app_sink_try_pull_sample(appsink, kBlockTimeout)}) {
        GstBuffer* buffer = gst_sample_get_buffer(sample.get());
        if (!decoded) {
            gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample.get()), 0), "rate", &rate);
            start = double(gst_segment_to_stream_time(gst_sample_get_segment(sample.get()), GST_FORMAT_TIME,
                                                      GST_BUFFER_PTS(buffer))) / GST_SECOND;
        }
        GstBufferReadMap map(buffer);
        if (!map.mapped())
            continue;
        decoded = true;
        if (!take(rate, start, reinterpret_cast<const float*>(map.data()), map.size() / sizeof(float)))
            return {};
    }

    GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    if (GstMessageHandle error{gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)})
        return "cannot decode " + path + ": " + BusError::FromMessage(error.get()).Describe();
    if (!gst_app_sink_is_eos(appsink))
        return "decoding " + path + " did not reach its end";
    if (!decoded || rate == 0)
        return "no sound decoded from " + path;
    return {};
}

} // namespace

DecodedSound DecodeSound(const std::string& path, std::optional<double> seconds)
{
    DecodedSound sound;
    sound.problem = Decode(path, [&](int rate, double start, const float* samples, std::size_t count) {
        sound.rate = rate;
        sound.start = start;
        sound.samples.insert(sound.samples.end(), samples, samples + count);
        return !seconds || double(sound.samples.size()) < *seconds * rate;
    });
    return sound;
}

DecodedStretches DecodeStretches(const std::string& path, std::vector<SoundStretch> stretches)
{
    DecodedStretches decoded;
    std::size_t seen = 0;
    decoded.problem = Decode(path, [&](int rate, double start, const float* samples, std::size_t count) {
        decoded.rate = rate;
        bool wantsMore = false;
        for (SoundStretch& stretch : stretches) {
            const auto first = std::size_t(std::max(0L, std::lround((stretch.from - start) * rate)));
            const auto end = first + std::size_t(std::lround(stretch.seconds * rate));
            const std::size_t from = std::max(first, seen);
            const std::size_t to = std::min(end, seen + count);
            if (from < to)
                stretch.samples.insert(stretch.samples.end(), samples + (from - seen), samples + (to - seen));
            wantsMore = wantsMore || end > seen + count;
        }
        seen += count;
        return wantsMore;
    });
    decoded.stretches = std::move(stretches);
    return decoded;
}
