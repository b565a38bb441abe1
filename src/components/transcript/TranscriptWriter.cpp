// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/TranscriptWriter.h"

#include "components/transcript/ClockTime.h"
#include "components/transcript/CueText.h"
#include "components/transcript/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace {

// The text's lines, none blank (a blank line would end an SRT or WebVTT cue).
std::vector<std::string_view> TextLinesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(begin, end - begin);
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

// One LRC line: line ends (which LRC cannot hold) become spaces.
std::string OneLine(std::string_view text)
{
    std::string line(text);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return line;
}

std::string LrcTag(double seconds)
{
    return "[" + FormatLrcClock(MillisecondsOf(seconds)) + "]";
}

// The text with its word times put back as <mm:ss.xx> tags.
std::string TextWithWordTags(const TranscriptLine& line)
{
    const std::string text = OneLine(line.text);
    std::vector<WordTime> words = line.words;
    std::stable_sort(words.begin(), words.end(), [](const WordTime& a, const WordTime& b) { return a.offset < b.offset; });
    std::string tagged;
    std::size_t done = 0;
    for (const WordTime& word : words) {
        const std::size_t at = std::clamp(word.offset, done, text.size());
        tagged.append(text, done, at - done);
        tagged += "<" + FormatLrcClock(MillisecondsOf(word.start)) + ">";
        done = at;
    }
    tagged.append(text, done);
    return tagged;
}

std::string WriteLrc(const Transcript& transcript, const std::string& eol)
{
    std::string out;
    for (const auto& [name, value] : transcript.tags)
        out += "[" + name + ":" + OneLine(value) + "]" + eol;
    if (transcript.tags.empty() && !transcript.title.empty())
        out += "[ti:" + OneLine(transcript.title) + "]" + eol;
    const std::vector<TranscriptLine>& lines = transcript.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TranscriptLine& line = lines[i];
        const std::string tag = LrcTag(line.start);
        out += tag + TextWithWordTags(line) + eol;
        if (!line.translation.empty())
            out += tag + OneLine(line.translation) + eol;
        // An empty tag where the line ends before the next starts, and between
        // lines at one time that are no text and translation.
        if (i + 1 == lines.size()) {
            if (std::isfinite(line.end))
                out += LrcTag(std::max(line.end, line.start)) + eol;
            continue;
        }
        const std::int64_t nextStart = MillisecondsOf(lines[i + 1].start);
        const bool nextIsTranslation = nextStart == MillisecondsOf(line.start) && line.translation.empty();
        if (MillisecondsOf(line.end) < nextStart || nextIsTranslation)
            out += LrcTag(std::max(line.start, std::min(line.end, lines[i + 1].start))) + eol;
    }
    return out;
}

// A cue's end: an open end (an LRC line's last) becomes its start.
std::int64_t CueEndMs(const TranscriptLine& line)
{
    return std::isfinite(line.end) ? std::max(MillisecondsOf(line.end), MillisecondsOf(line.start))
                                   : MillisecondsOf(line.start);
}

std::string WriteCues(const Transcript& transcript, const std::string& eol)
{
    const bool vtt = transcript.format == TranscriptFormat::WebVtt;
    const char separator = vtt ? '.' : ',';
    std::string out;
    if (vtt) {
        const std::string title = OneLine(transcript.title);
        out += (title.empty() ? std::string("WEBVTT") : "WEBVTT " + title) + eol + eol;
    }
    for (std::size_t i = 0; i < transcript.lines.size(); ++i) {
        const TranscriptLine& line = transcript.lines[i];
        if (!vtt)
            out += std::to_string(i + 1) + eol;
        out += FormatCueClock(MillisecondsOf(line.start), separator) + " --> " + FormatCueClock(CueEndMs(line), separator)
               + eol;
        for (std::string_view text : TextLinesOf(line.text))
            out += (vtt ? EscapeCueEntities(text) : std::string(text)) + eol;
        out += eol;
    }
    return out;
}

} // namespace

std::string WriteTranscript(const Transcript& transcript)
{
    const std::string eol = transcript.lineEnd.empty() ? "\n" : transcript.lineEnd;
    const std::string text = transcript.format == TranscriptFormat::Lrc ? WriteLrc(transcript, eol)
                                                                        : WriteCues(transcript, eol);
    return EncodeText(text, transcript.encoding);
}

std::string WriteTimesOnly(const std::vector<std::pair<double, double>>& spans, TranscriptFormat format)
{
    Transcript times;
    times.format = format;
    for (const auto& [start, end] : spans) {
        TranscriptLine line;
        line.start = start;
        line.end = end;
        times.lines.push_back(std::move(line));
    }
    return WriteTranscript(times);
}
