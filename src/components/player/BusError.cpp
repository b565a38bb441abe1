#include "components/player/BusError.h"

#include "components/GstHandles.h"

namespace {

// The framework's debug text starts with the source location and the element's
// full path ("gstbasesrc.c(3132): gst_base_src_loop (): /GstPipeline:...:\n");
// the reason proper, when there is one, follows the last line break.
std::string ReasonOf(const gchar* debug)
{
    if (!debug)
        return {};
    std::string text(debug);
    std::string::size_type lineBreak = text.rfind('\n');
    if (lineBreak != std::string::npos)
        return text.substr(lineBreak + 1);
    return text.find("(): ") == std::string::npos ? text : std::string();
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
    result.message = error ? error->message : "unknown error";
    result.detail = ReasonOf(debug.get());
    result.resourceError = error && error->domain == GST_RESOURCE_ERROR;
    return result;
}

std::string BusError::Describe() const
{
    std::string text = element + ": " + message;
    if (!detail.empty() && detail != message)
        text += " (" + detail + ")";
    return text;
}
