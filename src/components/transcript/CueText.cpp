// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/transcript/CueText.h"

#include <array>
#include <cctype>
#include <utility>

namespace {

bool OpensTag(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '/';
}

// Finds each closing character once however many openers come before it:
// the scan for the next one starts where the last one was found.
class NextCloser {
public:
    NextCloser(std::string_view line, char closer) : m_line(line), m_closer(closer) {}
    std::size_t After(std::size_t from)
    {
        if (m_found == std::string_view::npos ? m_searchedAll : m_found > from)
            return m_found;
        m_found = m_line.find(m_closer, from + 1);
        m_searchedAll = m_found == std::string_view::npos;
        return m_found;
    }

private:
    std::string_view m_line;
    char m_closer;
    std::size_t m_found = std::string_view::npos;
    bool m_searchedAll = false;
};

} // namespace

std::string StripCueTags(std::string_view line, bool assTags)
{
    std::string text;
    text.reserve(line.size());
    NextCloser angle(line, '>');
    NextCloser brace(line, '}');
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '<' && i + 1 < line.size() && OpensTag(line[i + 1])) {
            const std::size_t close = angle.After(i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (assTags && line[i] == '{' && i + 1 < line.size() && line[i + 1] == '\\') {
            const std::size_t close = brace.After(i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        text += line[i];
    }
    return text;
}

std::string DecodeCueEntities(std::string_view text)
{
    static const std::array<std::pair<std::string_view, std::string_view>, 8> kEntities{{
        {"&amp;", "&"},
        {"&lt;", "<"},
        {"&gt;", ">"},
        {"&quot;", "\""},
        {"&apos;", "'"},
        {"&nbsp;", "\xC2\xA0"},
        {"&lrm;", "\xE2\x80\x8E"},
        {"&rlm;", "\xE2\x80\x8F"},
    }};
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [name, character] : kEntities) {
                if (text.compare(i, name.size(), name) == 0) {
                    decoded += character;
                    i += name.size() - 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            decoded += text[i];
    }
    return decoded;
}

std::string EscapeCueEntities(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}
