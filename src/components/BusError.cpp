// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/BusError.h"

#include "components/GstHandles.h"

#include <sstream>

namespace {

// The framework's debug text starts with the source location and the element's
// full path ("gstbasesrc.c(3132): gst_base_src_loop (): /GstPipeline:...:"); the
// reason proper, when there is one, is on the lines after it.
std::string ReasonOf(const gchar* debug)
{
    if (!debug)
        return {};
    std::istringstream lines(debug);
    std::string line;
    std::string reason;
    for (bool first = true; std::getline(lines, line); first = false) {
        bool location = first && line.find("(): ") != std::string::npos;
        if (location || line.empty())
            continue;
        if (!reason.empty())
            reason += "; ";
        reason += line;
    }
    return reason;
}

std::string WithoutClosingStop(std::string text)
{
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

BusError BusError::FromMessage(GstMessage* message)
{
    GError* rawError = nullptr;
    gchar* rawDebug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING)
        gst_message_parse_warning(message, &rawError, &rawDebug);
    else
        gst_message_parse_error(message, &rawError, &rawDebug);
    GErrorHandle error(rawError);
    GCharHandle debug(rawDebug);

    BusError result;
    result.element = GST_MESSAGE_SRC(message) ? GST_MESSAGE_SRC_NAME(message) : "media framework";
    result.message = WithoutClosingStop(error ? error->message : "unknown error");
    result.detail = ReasonOf(debug.get());
    return result;
}

std::string BusError::Describe() const
{
    std::string text = element + ": " + message;
    if (!detail.empty() && WithoutClosingStop(detail) != message)
        text += " (" + detail + ")";
    return text;
}
