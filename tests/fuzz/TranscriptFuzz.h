// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every transcript reader must hold on any bytes: the file's decoding
// and the reader never crash or hang, give lines in time order with times
// that make sense and line numbers inside the file, and what a save writes
// reads back as the same lines.

#include "FuzzInputFile.h"
#include "components/transcript/TextEncoding.h"
#include "components/transcript/TextLines.h"
#include "components/transcript/TranscriptFile.h"
#include "components/transcript/TranscriptWriter.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace transcript_fuzz {

inline void CheckShape(const Transcript& transcript, std::size_t lineCount)
{
    double previousStart = 0;
    for (const TranscriptLine& line : transcript.lines) {
        FUZZ_CHECK(std::isfinite(line.start) && line.start >= previousStart);
        FUZZ_CHECK(!std::isnan(line.end) && line.end >= line.start);
        FUZZ_CHECK(line.sourceLine >= 1 && line.sourceLine <= lineCount);
        for (const WordTime& word : line.words)
            FUZZ_CHECK(word.offset <= line.text.size() && std::isfinite(word.start) && word.start >= 0);
        previousStart = line.start;
    }
    for (const ReadProblem& problem : transcript.problems)
        FUZZ_CHECK(problem.line >= 1 && problem.line <= std::max<std::size_t>(lineCount, 1) && !problem.what.empty());
}

// Text that a second reading would take differently than the first: markup
// the reader removed that left markup behind ("<<i>b>"), or an arrow that a
// cue's text may hold but a file cannot.
inline bool ReadsTheSameTwice(const Transcript& transcript)
{
    if (transcript.format == TranscriptFormat::WebVtt)
        return true;
    for (const TranscriptLine& line : transcript.lines) {
        for (const std::string* text : {&line.text, &line.translation})
            if (text->find_first_of("<{") != std::string::npos || text->find("-->") != std::string::npos)
                return false;
    }
    return true;
}

// Saved (as UTF-8, so that no character is lost to an encoding that lacks
// it) and read again: the same lines.
inline void CheckRoundTrip(const Transcript& transcript)
{
    Transcript asUtf8 = transcript;
    asUtf8.encoding = "UTF-8";
    const Transcript again = ReadTranscriptText(WriteTranscript(asUtf8), transcript.format);
    FUZZ_CHECK(again.lines.size() == transcript.lines.size());
    for (std::size_t i = 0; i < again.lines.size(); ++i) {
        const TranscriptLine& a = again.lines[i];
        const TranscriptLine& b = transcript.lines[i];
        FUZZ_CHECK(a.start == b.start && a.end == b.end && a.text == b.text && a.translation == b.translation);
        FUZZ_CHECK(a.words.size() == b.words.size());
        for (std::size_t w = 0; w < a.words.size(); ++w)
            FUZZ_CHECK(a.words[w].start == b.words[w].start && a.words[w].offset == b.words[w].offset);
    }
    FUZZ_CHECK(again.title == transcript.title);
}

// Saved in an encoding that holds every character, it is found in it again.
inline void CheckEncodingKept(const Transcript& transcript)
{
    const std::string& encoding = transcript.encoding;
    if (encoding != "UTF-8" && encoding != "UTF-8 BOM" && encoding != "UTF-16LE" && encoding != "UTF-16BE")
        return;
    const std::optional<Transcript> again = ReadTranscriptBytes(WriteTranscript(transcript), transcript.format);
    FUZZ_CHECK(again.has_value() && again->encoding == encoding);
}

inline int FuzzOne(const std::uint8_t* data, std::size_t size, TranscriptFormat format)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The reader on the bytes taken as text.
    const Transcript text = ReadTranscriptText(bytes, format);
    CheckShape(text, SplitLines(bytes).size());

    // The file's decoding, then the reader.
    const std::optional<Transcript> decoded = ReadTranscriptBytes(bytes, format);
    FUZZ_CHECK(decoded.has_value() && decoded->format == format && !decoded->encoding.empty());
    CheckShape(*decoded, SplitLines(DecodeText(bytes).utf8).size());
    CheckEncodingKept(*decoded);
    if (ReadsTheSameTwice(*decoded))
        CheckRoundTrip(*decoded);
    return 0;
}

} // namespace transcript_fuzz
