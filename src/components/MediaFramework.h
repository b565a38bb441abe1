// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Initialises the media framework once for the process; later calls give the
// first one's answer at once. Any thread may call it; a call made while
// another runs waits for it. Returns why the framework cannot be used, or
// nothing when it is ready. The player and the recorder call it before they
// build anything and report a failure as their own.
std::optional<std::string> InitialiseMediaFramework();
