// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/WindowEnvironment.h"

// Where this installation keeps its settings and its user guide, and the name
// its boxes carry.
WindowEnvironment DetectEnvironment();

// Where this user's sound profiles are kept.
std::string ProfileCacheFolder();
