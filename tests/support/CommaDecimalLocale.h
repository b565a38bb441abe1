// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <clocale>
#include <cstring>
#include <string>

// Puts the process's LC_NUMERIC under a locale whose decimal point is a comma,
// for as long as the object lives, when the system has such a locale.
class CommaDecimalLocale {
public:
    CommaDecimalLocale() : m_saved(std::setlocale(LC_NUMERIC, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                m_active = true;
                return;
            }
        }
        std::setlocale(LC_NUMERIC, m_saved.c_str());
    }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;
    ~CommaDecimalLocale() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }

    bool Active() const { return m_active; }

    static constexpr const char* kMissing =
        "no comma-decimal locale is installed (scripts/install-deps.sh generates de_DE.UTF-8)";

private:
    std::string m_saved;
    bool m_active = false;
};
