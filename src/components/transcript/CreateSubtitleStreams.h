// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/SubtitleStreams.h"

#include <memory>

// The real reader of text streams, over the media framework.
std::unique_ptr<SubtitleStreams> CreateSubtitleStreams();
