// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/BusError.h"
#include "components/GstHandles.h"
#include "components/MediaFramework.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The one form in which both components show the framework's errors:
// "element: message (detail)".

using testing::HasSubstr;

namespace {

// An ERROR or WARNING as an element posts it: the framework puts the source
// location and the element's path before the detail.
GstMessageHandle ElementMessage(GstMessageType type, const char* element, const char* text, const char* detail)
{
    InitialiseMediaFramework();
    GstElementHandle source = AdoptElement(gst_element_factory_make("identity", element));
    GErrorHandle error(g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_WRITE, text));
    std::string debug = std::string("gstfdsink.c(401): gst_fd_sink_render (): /GstPipeline:recorder/GstFdSink:")
                        + element + ":\n" + detail;
    return GstMessageHandle(type == GST_MESSAGE_WARNING
                                ? gst_message_new_warning(GST_OBJECT(source.get()), error.get(), debug.c_str())
                                : gst_message_new_error(GST_OBJECT(source.get()), error.get(), debug.c_str()));
}

TEST(BusErrorTest, NamesTheElementWhatItSaidAndTheDetailWithoutTheSourceLocation)
{
    GstMessageHandle message =
        ElementMessage(GST_MESSAGE_ERROR, "file", "Error while writing to file.", "No space left");
    BusError error = BusError::FromMessage(message.get());
    EXPECT_EQ(error.element, "file");
    EXPECT_EQ(error.Describe(), "file: Error while writing to file (No space left)");

    GstMessageHandle warning = ElementMessage(GST_MESSAGE_WARNING, "input", "Can't record audio fast enough", "");
    EXPECT_EQ(BusError::FromMessage(warning.get()).Describe(), "input: Can't record audio fast enough");
}

TEST(BusErrorTest, ADetailThatRepeatsTheMessageIsNotShownTwice)
{
    GstMessageHandle message = ElementMessage(GST_MESSAGE_ERROR, "file", "No space left.", "No space left");
    EXPECT_EQ(BusError::FromMessage(message.get()).Describe(), "file: No space left");
}

// A real element's failure: the text still names the element and carries
// what the system said about the file.
TEST(BusErrorTest, AFileSourceThatCannotOpenItsFileSaysWhichFileAndWhy)
{
    InitialiseMediaFramework();
    GstPipelineHandle pipeline =
        AdoptPipeline(gst_parse_launch("filesrc name=in location=/nonexistent/take.mp3 ! fakesink", nullptr));
    ASSERT_TRUE(pipeline);
    gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
    GstBusHandle bus(gst_element_get_bus(pipeline.get()));
    GstMessageHandle message(gst_bus_timed_pop_filtered(bus.get(), 2 * GST_SECOND, GST_MESSAGE_ERROR));
    ASSERT_TRUE(message);
    std::string text = BusError::FromMessage(message.get()).Describe();
    EXPECT_THAT(text, testing::StartsWith("in: "));
    EXPECT_THAT(text, HasSubstr("/nonexistent/take.mp3"));
    EXPECT_THAT(text, HasSubstr("No such file"));
    EXPECT_THAT(text, testing::Not(HasSubstr("(): ")));
}

} // namespace
