// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/SrtReader.h"

#include "components/transcript/CueReader.h"
#include "components/transcript/CueText.h"

namespace {

std::string CleanSrtText(std::string_view line)
{
    return StripCueTags(line, true);
}

bool NoSkippedBlocks(std::string_view)
{
    return false;
}

} // namespace

Transcript ReadSrt(const std::vector<std::string_view>& lines)
{
    Transcript transcript;
    transcript.format = TranscriptFormat::Srt;
    ReadCues(lines, 0, CueSyntax{CleanSrtText, NoSkippedBlocks}, transcript);
    return transcript;
}
