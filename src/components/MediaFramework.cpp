// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/MediaFramework.h"

#include "components/GstHandles.h"

#include <gst/gst.h>

namespace {

// Debian ranks every MP3 and MPEG audio decoder "marginal", and the tie goes
// to libav's by name. Loading libav for a sound file costs about 140 ms and
// 15 MiB (it brings its codec, filter and speech libraries); mpg123 decodes
// the same streams. libav is still used for the MPEG video it alone decodes.
void PreferMpg123ForMpegAudio()
{
    GstObjectHandle<GstElementFactory> mpg123(gst_element_factory_find("mpg123audiodec"));
    if (mpg123)
        gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(mpg123.get()), GST_RANK_PRIMARY);
}

std::optional<std::string> Initialise()
{
    GError* rawError = nullptr;
    if (!gst_init_check(nullptr, nullptr, &rawError)) {
        GErrorHandle error(rawError);
        return std::string("The media framework (GStreamer) could not be initialised: ") +
               (error ? error->message : "it gave no reason");
    }
    PreferMpg123ForMpegAudio();
    return std::nullopt;
}

} // namespace

std::optional<std::string> InitialiseMediaFramework()
{
    static const std::optional<std::string> problem = Initialise();
    return problem;
}
