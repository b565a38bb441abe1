// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/VttReader.h"

#include "components/transcript/CueReader.h"
#include "components/transcript/CueText.h"
#include "components/transcript/TextLines.h"

namespace {

// Whether the line is `word` alone or followed by a blank and more.
bool StartsWithWord(std::string_view line, std::string_view word)
{
    return line.starts_with(word) && (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\t');
}

std::string CleanVttText(std::string_view line)
{
    return DecodeCueEntities(StripCueTags(line, false));
}

bool IsVttSkippedBlock(std::string_view firstLine)
{
    return StartsWithWord(firstLine, "NOTE") || StartsWithWord(firstLine, "STYLE") || StartsWithWord(firstLine, "REGION");
}

} // namespace

Transcript ReadVtt(const std::vector<std::string_view>& lines)
{
    Transcript transcript;
    transcript.format = TranscriptFormat::WebVtt;
    if (!lines.empty() && StartsWithWord(lines[0], "WEBVTT"))
        transcript.title = std::string(TrimBlanks(lines[0].substr(6)));
    else
        transcript.problems.push_back({1, "No WEBVTT header: the cues are read all the same."});
    // The header's lines (or what stands in its place) run to the first blank
    // line or, where that is missing, to the first cue.
    std::size_t first = 0;
    if (!lines.empty() && lines[0].find("-->") == std::string_view::npos) {
        for (first = 1; first < lines.size() && !IsBlankLine(lines[first])
                        && lines[first].find("-->") == std::string_view::npos;)
            ++first;
    }
    ReadCues(lines, first, CueSyntax{CleanVttText, IsVttSkippedBlock}, transcript);
    return transcript;
}
