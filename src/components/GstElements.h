// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/GstHandles.h"

#include <string>

// Makes an element of `factory` (named `name`, or as the framework names it
// when null); nothing when the framework has no such element. The handle holds
// a real reference: adding the element to a bin adds the bin's own.
GstElementHandle MakeElement(const char* factory, const char* name = nullptr);

// Why an element of `factory` could not be made, naming the Debian package
// that brings it, for the components to report in their own error types.
std::string MissingElementText(const char* factory);
