// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/profile/SoundProfiler.h"

#include <memory>
#include <string>

// The real sound profiler, keeping profiles in `cacheFolder`.
std::unique_ptr<SoundProfiler> CreateSoundProfiler(const std::string& cacheFolder);
