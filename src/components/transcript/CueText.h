// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The text of an SRT or WebVTT cue line as a reader shows it: markup removed,
// character references replaced; and back for a WebVTT file.

// The line without its markup tags: `<...>` that begin with a letter, a digit
// or '/' (<i>, </b>, <font color="red">, <c.x>, <v Name>, <00:00:01.000>),
// and with `assTags` also `{\...}` (the {\an8} kind). Anything else, a lone
// '<' too, stays. Linear in the line's length.
std::string StripCueTags(std::string_view line, bool assTags);

// &amp; &lt; &gt; &quot; &apos; &nbsp; &lrm; &rlm; as the characters they
// stand for; any other '&' stays as it is.
std::string DecodeCueEntities(std::string_view text);

// '&', '<' and '>' as &amp; &lt; &gt;, so that WebVTT reads the text back as it is.
std::string EscapeCueEntities(std::string_view text);
