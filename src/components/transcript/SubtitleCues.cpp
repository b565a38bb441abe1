// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/SubtitleCues.h"

#include "components/transcript/CueText.h"
#include "components/transcript/TranscriptOrder.h"

#include <algorithm>

std::string CueLineText(std::string_view bytes, bool pangoMarkup)
{
    std::string text = StripCueTags(bytes, true);
    if (pangoMarkup)
        text = DecodeCueEntities(text);
    std::erase(text, '\r');
    const std::size_t first = text.find_first_not_of(" \t\n");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\n");
    return text.substr(first, last - first + 1);
}

Transcript CueTranscript(const std::vector<SubtitleCue>& cues, bool pangoMarkup)
{
    Transcript transcript;
    transcript.format = TranscriptFormat::Srt;
    for (std::size_t index = 0; index < cues.size(); ++index) {
        std::string text = CueLineText(cues[index].bytes, pangoMarkup);
        if (text.empty())
            continue;
        TranscriptLine line;
        line.start = std::max(0.0, cues[index].start);
        line.end = cues[index].end;
        line.text = std::move(text);
        line.sourceLine = index + 1;
        transcript.lines.push_back(std::move(line));
    }
    SortByStart(transcript.lines);
    for (std::size_t index = 0; index < transcript.lines.size(); ++index) {
        TranscriptLine& line = transcript.lines[index];
        if (line.end >= line.start)
            continue;
        line.end = index + 1 < transcript.lines.size() ? transcript.lines[index + 1].start
                                                        : line.start + kLastCueSeconds;
    }
    return transcript;
}
