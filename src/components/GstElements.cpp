// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/GstElements.h"

#include <string_view>

namespace {

struct FactoryPackage {
    std::string_view factory;
    const char* package;
};

// The Debian packages that bring the elements the components build.
constexpr FactoryPackage kPackages[] = {
    {"playbin", "gstreamer1.0-plugins-base"},    {"appsink", "gstreamer1.0-plugins-base"},
    {"audioconvert", "gstreamer1.0-plugins-base"}, {"audioresample", "gstreamer1.0-plugins-base"},
    {"autoaudiosink", "gstreamer1.0-plugins-good"}, {"autoaudiosrc", "gstreamer1.0-plugins-good"},
    {"lamemp3enc", "gstreamer1.0-plugins-good"},  {"capsfilter", "libgstreamer1.0-0"},
    {"queue", "libgstreamer1.0-0"},               {"fdsink", "libgstreamer1.0-0"},
};

} // namespace

GstElementHandle MakeElement(const char* factory, const char* name)
{
    return AdoptElement(gst_element_factory_make(factory, name));
}

std::string MissingElementText(const char* factory)
{
    std::string text = std::string("The media framework has no \"") + factory + "\" element";
    for (const FactoryPackage& entry : kPackages) {
        if (entry.factory == factory)
            return text + " (install the Debian package " + entry.package + ")";
    }
    return text + " (a GStreamer plugin package is missing)";
}
