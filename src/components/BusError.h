// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gst/gst.h>

#include <string>

// An ERROR (or WARNING) message of the media framework, kept as text: which
// element reported it, what it said, and the technical detail it added. Both
// components show the framework's errors in this one form.
struct BusError {
    std::string element;
    std::string message;
    std::string detail;

    static BusError FromMessage(GstMessage* message);

    // "element: message (detail)". The message's closing full stop is left
    // out, so that the text reads well inside a sentence of the caller's.
    std::string Describe() const;
};
