// SPDX-License-Identifier: GPL-3.0-or-later
// The SRT reader and the transcript file's decoding on any bytes.

#include "TranscriptFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return transcript_fuzz::FuzzOne(data, size, TranscriptFormat::Srt);
}
