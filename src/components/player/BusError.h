#pragma once

#include <gst/gst.h>

#include <string>

// An ERROR message of the media framework, kept as text: which element
// reported it, what it said, and the technical detail it added.
struct BusError {
    std::string element;
    std::string message;
    std::string detail;
    // The file or resource could not be found or read (as opposed to read but
    // not understood).
    bool resourceError = false;

    // Reads an ERROR (or WARNING) message.
    static BusError FromMessage(GstMessage* message);

    // "element: message (detail)", the form shown to the user.
    std::string Describe() const;
};
