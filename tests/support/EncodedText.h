// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>

// UTF-8 text in another encoding, converted by the C library's iconv (not by
// the code under test), for files in the encodings the program meets. Throws
// when the text has a character the encoding lacks.
inline std::string EncodedText(const std::string& utf8, const std::string& encoding)
{
    iconv_t converter = iconv_open(encoding.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv knows no " + encoding);
    std::string in = utf8;
    std::string out(utf8.size() * 4 + 16, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t fromLeft = in.size();
    std::size_t toLeft = out.size();
    const std::size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1))
        throw std::runtime_error("cannot write the text in " + encoding);
    out.resize(out.size() - toLeft);
    return out;
}
