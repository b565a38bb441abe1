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

} // namespace

void InitialiseMediaFramework()
{
    static const bool initialised = [] {
        gst_init(nullptr, nullptr);
        PreferMpg123ForMpegAudio();
        return true;
    }();
    (void)initialised;
}
