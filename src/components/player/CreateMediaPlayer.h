// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/player/MediaPlayer.h"

#include <memory>

// The real media player. Throws PlayerFault when it cannot be built.
std::unique_ptr<IMediaPlayer> CreateMediaPlayer();
