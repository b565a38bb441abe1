// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InterfaceLanguage.h"

#include <QCoreApplication>

InterfaceLanguage::InterfaceLanguage(const QLocale& locale)
{
    if (m_translator.load(locale, QStringLiteral("ardeno-recorder"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        m_installed = QCoreApplication::installTranslator(&m_translator);
}

InterfaceLanguage::~InterfaceLanguage()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}
