// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A transcript of a media file, read from LRC, SRT or WebVTT: its lines with
// their times, in time order, and what of the file could not be read.

// A word's time inside an LRC line (`<mm:ss.xx>` tags): when it is spoken and
// the byte offset in the line's text where it starts.
struct WordTime {
    double start;
    std::size_t offset;
};

struct TranscriptLine {
    double start = 0;           // seconds (after any [offset:])
    double end = 0;             // seconds; LRC: the next line's start (last line: +infinity, the
                                // caller clamps it to the media's length); SRT/VTT: the cue's end
    std::string text;           // UTF-8, tags stripped, a multi-line cue joined with '\n'
    std::string translation;    // UTF-8; LRC: a second line with the same time tag; empty when none
    std::vector<WordTime> words;
    std::size_t sourceLine = 0; // 1-based line of the file it came from
};

enum class TranscriptFormat { Lrc, Srt, WebVtt };

// What could not be read: the 1-based line, one short English sentence.
struct ReadProblem {
    std::size_t line;
    std::string what;
};

struct Transcript {
    TranscriptFormat format = TranscriptFormat::Lrc;
    // As detected, e.g. "UTF-8", "UTF-8 BOM", "UTF-16LE", "GB18030", "BIG5",
    // "SHIFT_JIS", "WINDOWS-1252"; the encoding a save writes.
    std::string encoding = "UTF-8";
    // LRC: [ti:], [ar:] and [al:] joined with " - "; VTT: the text after
    // WEBVTT; empty otherwise.
    std::string title;
    std::vector<TranscriptLine> lines;   // in time order; stable for equal times
    std::vector<ReadProblem> problems;   // what could not be read; the rest is kept
    // LRC: the ID tags ([ti:], [ar:], [by:], [length:], ...) in file order,
    // name and value, for a save to write back; [offset:] is already applied
    // to the times and is not among them.
    std::vector<std::pair<std::string, std::string>> tags;
    // The file's first line end ("\n", "\r\n" or "\r"), which a save writes.
    std::string lineEnd = "\n";
};

// Decoded text (UTF-8, without a BOM) to a transcript in the given format.
// Never fails: what cannot be read is listed in `problems`, the rest kept.
// Negative times written in the file drop their line (with a problem); LRC
// times that an [offset:] moves below zero are clamped to 0. Linear in the
// text's length.
Transcript ReadTranscriptText(std::string_view utf8, TranscriptFormat format);
