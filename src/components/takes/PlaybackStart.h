// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Where a take's playback starts: 10 ms before its first sound, so that the
// silence before the speaker began is skipped and nothing of the sound is
// lost. The first sound is the first sample of the first stretch of speech,
// followed back from its first loud block through the quieter start of the
// word (at most 150 ms back). A take without speech plays from its start.
// Returns a frame index into `samples` (interleaved 16-bit frames).
std::size_t PlaybackStart(std::span<const std::int16_t> samples, int channels, int rate);
