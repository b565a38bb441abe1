// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/GstElements.h"
#include "components/MediaFramework.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The one way the components make elements, and what they say when the
// framework lacks one.

using testing::HasSubstr;

namespace {

TEST(GstElementsTest, AnElementOutlivesTheBinItWasAddedTo)
{
    InitialiseMediaFramework();
    GstElementHandle element = MakeElement("audioconvert", "convert");
    ASSERT_TRUE(element);
    EXPECT_STREQ(GST_OBJECT_NAME(element.get()), "convert");
    {
        GstPipelineHandle bin = AdoptPipeline(gst_pipeline_new("bin"));
        ASSERT_TRUE(gst_bin_add(GST_BIN(bin.get()), element.get()));
    }
    // The bin took a reference of its own and gave it back.
    EXPECT_EQ(GST_OBJECT_REFCOUNT_VALUE(element.get()), 1);
    EXPECT_FALSE(g_object_is_floating(element.get()));
}

TEST(GstElementsTest, AMissingElementIsNamedWithThePackageThatBringsIt)
{
    InitialiseMediaFramework();
    EXPECT_FALSE(MakeElement("nosuchelement"));
    EXPECT_THAT(MissingElementText("nosuchelement"), HasSubstr("\"nosuchelement\""));
    EXPECT_THAT(MissingElementText("lamemp3enc"),
                testing::AllOf(HasSubstr("\"lamemp3enc\""), HasSubstr("gstreamer1.0-plugins-good")));
    EXPECT_THAT(MissingElementText("playbin"), HasSubstr("gstreamer1.0-plugins-base"));
}

} // namespace
