// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <uchardet.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

struct DetectorCloser {
    void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

bool IsValidUtf8(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::int32_t length = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(data, i, length, c);
        if (c < 0)
            return false;
    }
    return true;
}

// The BOM an encoding's files start with.
std::string_view BomOf(const std::string& encoding)
{
    if (encoding == "UTF-8 BOM")
        return kUtf8Bom;
    if (encoding == "UTF-16LE")
        return kUtf16LeBom;
    if (encoding == "UTF-16BE")
        return kUtf16BeBom;
    return {};
}

// ICU's converter for an encoding name; nothing when ICU does not know it.
Converter OpenConverter(const std::string& encoding)
{
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(encoding == "UTF-8 BOM" ? "UTF-8" : encoding.c_str(), &error));
    if (U_FAILURE(error))
        return nullptr;
    return converter;
}

std::string UchardetGuess(std::string_view bytes)
{
    std::unique_ptr<uchardet, DetectorCloser> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0)
        return {};
    uchardet_data_end(detector.get());
    std::string name = uchardet_get_charset(detector.get());
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

// Where in the UTF-16 text the converter put a substitute for bytes it could
// not read.
struct BadBytes {
    const UChar* targetStart = nullptr;
    std::vector<std::size_t> unitOffsets;
};

void U_CALLCONV NoteBadBytes(const void* context, UConverterToUnicodeArgs* args, const char* codeUnits,
                             int32_t length, UConverterCallbackReason reason, UErrorCode* error)
{
    if (reason <= UCNV_IRREGULAR) {
        auto* bad = static_cast<BadBytes*>(const_cast<void*>(context));
        bad->unitOffsets.push_back(static_cast<std::size_t>(args->target - bad->targetStart));
    }
    UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, reason, error);
}

// The 1-based lines of the given offsets (ascending) in UTF-16 text, each once.
std::vector<std::size_t> LinesOf(const std::vector<UChar>& text, const std::vector<std::size_t>& offsets)
{
    std::vector<std::size_t> lines;
    std::size_t line = 1;
    std::size_t at = 0;
    for (std::size_t offset : offsets) {
        for (; at < offset && at < text.size(); ++at) {
            if (text[at] == u'\n' || (text[at] == u'\r' && (at + 1 >= text.size() || text[at + 1] != u'\n')))
                ++line;
        }
        if (lines.empty() || lines.back() != line)
            lines.push_back(line);
    }
    return lines;
}

std::string Utf8Of(const std::vector<UChar>& text)
{
    std::string utf8(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<int32_t>(utf8.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &error);
    utf8.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return utf8;
}

std::vector<UChar> Utf16Of(std::string_view utf8)
{
    std::vector<UChar> text(utf8.size() + 1);
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &error);
    text.resize(U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0);
    return text;
}

} // namespace

std::string DetectEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        return "UTF-8 BOM";
    if (bytes.starts_with(kUtf16LeBom))
        return "UTF-16LE";
    if (bytes.starts_with(kUtf16BeBom))
        return "UTF-16BE";
    if (IsValidUtf8(bytes))
        return "UTF-8";
    std::string guess = UchardetGuess(bytes);
    if (guess == "ISO-8859-1")
        guess = "WINDOWS-1252";
    if (guess.empty() || guess == "ASCII" || !OpenConverter(guess))
        return "UTF-8";
    return guess;
}

DecodedText DecodeText(std::string_view bytes)
{
    DecodedText decoded;
    decoded.encoding = DetectEncoding(bytes);
    bytes.remove_prefix(BomOf(decoded.encoding).size());
    if (decoded.encoding.starts_with("UTF-8") && IsValidUtf8(bytes)) {
        decoded.utf8 = std::string(bytes);
        return decoded;
    }
    Converter converter = OpenConverter(decoded.encoding);
    // Each byte gives at most two UTF-16 units (a substitute, or half of a
    // surrogate pair whose bytes came before).
    std::vector<UChar> text(bytes.size() * 2 + 16);
    BadBytes bad{text.data(), {}};
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), NoteBadBytes, &bad, nullptr, nullptr, &error);
    UChar* target = text.data();
    const char* source = bytes.data();
    ucnv_toUnicode(converter.get(), &target, text.data() + text.size(), &source, bytes.data() + bytes.size(), nullptr,
                   true, &error);
    text.resize(U_SUCCESS(error) ? static_cast<std::size_t>(target - text.data()) : 0);
    decoded.badLines = LinesOf(text, bad.unitOffsets);
    decoded.utf8 = Utf8Of(text);
    return decoded;
}

std::string EncodeText(std::string_view utf8, const std::string& encoding)
{
    std::string bytes(BomOf(encoding));
    Converter converter = encoding.starts_with("UTF-8") ? nullptr : OpenConverter(encoding);
    if (!converter)
        return bytes + std::string(utf8);
    const std::vector<UChar> text = Utf16Of(utf8);
    const std::size_t start = bytes.size();
    bytes.resize(start + UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(converter.get())));
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter.get(), bytes.data() + start, static_cast<int32_t>(bytes.size() - start),
                                           text.data(), static_cast<int32_t>(text.size()), &error);
    bytes.resize(start + (U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0));
    return bytes;
}
