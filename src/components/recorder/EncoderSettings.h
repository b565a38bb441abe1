// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one format every recording is written in: CD-rate stereo MP3 at a
// constant bit rate (the README's "Recording format" says why). A constant
// bit rate keeps a file that was cut off playable with its right duration.
namespace encoder_settings {

inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;
inline constexpr int kBitrateKbps = 128;
// Interleaved signed 16-bit samples, as the encoder takes them.
inline constexpr int kBytesPerFrame = kChannels * 2;

} // namespace encoder_settings
