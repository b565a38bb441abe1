#include "components/MediaFramework.h"

#include <gst/gst.h>

void InitialiseMediaFramework()
{
    gst_init(nullptr, nullptr);
}
