// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A transcript file's bytes to UTF-8 and back: the encoding found from a byte
// order mark, as valid UTF-8, or by uchardet; the conversion by ICU.

struct DecodedText {
    std::string utf8;           // without a byte order mark
    std::string encoding;       // "UTF-8", "UTF-8 BOM", "UTF-16LE", "UTF-16BE", "GB18030", "BIG5", ...
    // 1-based lines holding bytes that are not text in that encoding (each
    // once, in order); ICU's substitute character stands in for them.
    std::vector<std::size_t> badLines;
};

// The encoding the bytes are in: a BOM decides, then valid UTF-8 (plain
// ASCII too) is "UTF-8", then uchardet's guess (ISO-8859-1 read as its
// superset WINDOWS-1252); "UTF-8" when nothing fits.
std::string DetectEncoding(std::string_view bytes);

// The bytes as UTF-8 text, in the detected encoding.
DecodedText DecodeText(std::string_view bytes);

// UTF-8 text in `encoding` (a name DetectEncoding gives), with the BOM that
// "UTF-8 BOM", "UTF-16LE" and "UTF-16BE" start with; a character the
// encoding lacks becomes its substitute. An encoding ICU does not know gives
// the text as UTF-8.
std::string EncodeText(std::string_view utf8, const std::string& encoding);
