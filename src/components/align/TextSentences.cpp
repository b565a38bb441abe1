// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/align/TextSentences.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <memory>

// ICU's sentence rules (UAX #29) with CLDR's abbreviation lists ("ss=standard")
// do what no table of our own would keep up with across languages.

namespace {

// Paragraphs: runs of lines between blank lines.
std::vector<std::string_view> Paragraphs(std::string_view text)
{
    std::vector<std::string_view> paragraphs;
    std::size_t start = std::string_view::npos;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        const bool blank = line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
        if (blank && start != std::string_view::npos) {
            paragraphs.push_back(text.substr(start, at - start));
            start = std::string_view::npos;
        } else if (!blank && start == std::string_view::npos) {
            start = at;
        }
        at = end + 1;
    }
    if (start != std::string_view::npos)
        paragraphs.push_back(text.substr(start));
    return paragraphs;
}

// White space runs as one space, none at the ends.
std::string Tidied(const icu::UnicodeString& piece)
{
    icu::UnicodeString tidy;
    bool space = false;
    for (int32_t i = 0; i < piece.length();) {
        const UChar32 c = piece.char32At(i);
        i += U16_LENGTH(c);
        if (u_isUWhiteSpace(c)) {
            space = !tidy.isEmpty();
            continue;
        }
        if (space)
            tidy.append(UChar(' '));
        space = false;
        tidy.append(c);
    }
    std::string utf8;
    tidy.toUTF8String(utf8);
    return utf8;
}

// ICU ends no sentence at an ellipsis: one followed by a space and anything
// but a small letter ends it here.
std::vector<icu::UnicodeString> AtEllipses(const icu::UnicodeString& sentence)
{
    std::vector<icu::UnicodeString> pieces;
    int32_t from = 0;
    for (int32_t at = sentence.indexOf(UChar(0x2026)); at >= 0; at = sentence.indexOf(UChar(0x2026), at + 1)) {
        int32_t next = at + 1;
        if (next >= sentence.length() || !u_isUWhiteSpace(sentence.char32At(next)))
            continue;
        while (next < sentence.length() && u_isUWhiteSpace(sentence.char32At(next)))
            ++next;
        if (next >= sentence.length() || u_isULowercase(sentence.char32At(next)))
            continue;
        pieces.push_back(sentence.tempSubStringBetween(from, at + 1));
        from = next;
    }
    pieces.push_back(sentence.tempSubStringBetween(from));
    return pieces;
}

} // namespace

std::vector<TextSentence> SplitSentences(std::string_view utf8, const std::string& language)
{
    std::vector<TextSentence> sentences;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createSentenceInstance(icu::Locale((language + "@ss=standard").c_str()), status));
    if (U_FAILURE(status) || !breaks)
        return sentences;
    for (std::string_view paragraph : Paragraphs(utf8)) {
        icu::UnicodeString text =
            icu::UnicodeString::fromUTF8(icu::StringPiece(paragraph.data(), int32_t(paragraph.size())));
        // A line break inside a paragraph is a space (ICU would end a sentence there).
        text.findAndReplace(icu::UnicodeString(UChar('\r')), icu::UnicodeString(UChar(' ')));
        text.findAndReplace(icu::UnicodeString(UChar('\n')), icu::UnicodeString(UChar(' ')));
        breaks->setText(text);
        bool first = true;
        for (int32_t start = breaks->first(), end = breaks->next(); end != icu::BreakIterator::DONE;
             start = end, end = breaks->next()) {
            for (const icu::UnicodeString& piece : AtEllipses(text.tempSubStringBetween(start, end))) {
                std::string sentence = Tidied(piece);
                if (sentence.empty())
                    continue;
                sentences.push_back({std::move(sentence), first});
                first = false;
            }
        }
    }
    return sentences;
}
