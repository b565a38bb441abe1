// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/feedback/TakeComparer.h"
#include "components/takes/TakePlayer.h"
#include "components/takes/TakeRecorder.h"

#include <memory>

// What shadowing records and plays takes with, and what the feedback on a
// take compares it with its sentence with.
struct TakeEngines {
    std::unique_ptr<TakeRecorder> recorder;
    std::unique_ptr<TakePlayer> player;
    std::unique_ptr<TakeComparer> comparer;
};
