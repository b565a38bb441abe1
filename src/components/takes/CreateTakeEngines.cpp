// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/takes/CreateTakeEngines.h"

#include "components/feedback/BackgroundTakeComparer.h"
#include "components/takes/GstTakePlayer.h"
#include "components/takes/GstTakeRecorder.h"

TakeEngines CreateTakeEngines(const std::string& input)
{
    return {std::make_unique<GstTakeRecorder>(input), std::make_unique<GstTakePlayer>(),
            std::make_unique<BackgroundTakeComparer>()};
}
