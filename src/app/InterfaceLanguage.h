// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QTranslator>

// The translation of the program's own texts into a locale's language,
// installed in the application while this object lives. The translations are
// built into the program (":/i18n/ardeno-recorder_<locale>.qm"); for a
// locale without one nothing is installed and the texts stay in English.
class InterfaceLanguage {
public:
    explicit InterfaceLanguage(const QLocale& locale = QLocale::system());
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

    // Whether a translation for the locale was found and installed.
    bool Installed() const { return m_installed; }

private:
    QTranslator m_translator;
    bool m_installed = false;
};
