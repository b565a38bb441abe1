// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Writes the MP3 at `mp3` (a stream without a header frame) to `out` behind a
// Xing header frame as VBR encoders write one: the stream's frame and byte
// counts and its table of contents (where each hundredth of its time lies, in
// 256ths of the file). GStreamer's xingmux takes time that grows with the
// square of the length: hours for a file of hours.
void WriteWithXingHeader(const std::string& mp3, const std::string& out);
