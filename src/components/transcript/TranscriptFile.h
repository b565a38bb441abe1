// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "components/transcript/Transcript.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Transcript files on disk: found beside the media, read whatever their
// encoding and format.

// Larger files are refused: no transcript is that long.
constexpr std::uint64_t kLargestTranscriptFile = 20ull * 1024 * 1024;

// A transcript, or why there is none: "<path>: <what the system said>".
struct TranscriptReadResult {
    std::optional<Transcript> transcript;
    std::string error;
};

// A file's bytes, or why there are none: "<path>: <what the system said>".
struct FileBytesResult {
    std::optional<std::string> bytes;
    std::string error;
};

// Reads a regular file of at most `limit` bytes whole; a named pipe or a
// device is never read from, a larger file is refused unread. Blocks while it
// reads.
FileBytesResult ReadSmallFile(const std::string& path, std::uint64_t limit);

// Reads a regular file of at most kLargestTranscriptFile bytes (a named pipe
// or a device is never read from), its encoding detected, its format from the
// extension (.lrc, .srt, .vtt in any letter case) or, when the extension says
// nothing, from the text. Blocks while it reads.
TranscriptReadResult ReadTranscriptFile(const std::string& path);

// A file's bytes as a transcript: decoded (the encoding in `encoding`, a line
// with bytes that are not text in it among the problems), in `format`, or the
// format the text shows when none is given. Nothing when no format is given
// and the text shows none.
std::optional<Transcript> ReadTranscriptBytes(std::string_view bytes, std::optional<TranscriptFormat> format);

// The format a file name's extension names (.lrc, .srt, .vtt in any case).
std::optional<TranscriptFormat> FormatOfExtension(const std::string& path);

// The format the text looks like: a WEBVTT first line, an SRT "-->" time
// line, or a line starting with an LRC time tag, among its first lines.
std::optional<TranscriptFormat> FormatOfText(std::string_view utf8);

// The transcript beside a media file: its path without the extension plus
// .lrc, .srt or .vtt in any letter case, the first found in that order (the
// name in lower case first). Never the .txt of the pause points; nothing when
// none exists.
std::optional<std::string> FindTranscriptBeside(const std::string& mediaPath);
