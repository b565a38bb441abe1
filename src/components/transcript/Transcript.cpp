// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/Transcript.h"

#include "components/transcript/LrcReader.h"
#include "components/transcript/SrtReader.h"
#include "components/transcript/TextLines.h"
#include "components/transcript/VttReader.h"

Transcript ReadTranscriptText(std::string_view utf8, TranscriptFormat format)
{
    const std::vector<std::string_view> lines = SplitLines(utf8);
    Transcript transcript;
    switch (format) {
    case TranscriptFormat::Lrc: transcript = ReadLrc(lines); break;
    case TranscriptFormat::Srt: transcript = ReadSrt(lines); break;
    case TranscriptFormat::WebVtt: transcript = ReadVtt(lines); break;
    }
    transcript.lineEnd = FirstLineEnd(utf8);
    // A long book's lines are kept for as long as it is open: without the slack of their growing.
    transcript.lines.shrink_to_fit();
    return transcript;
}
