// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/preferences/Preferences.h"

#include <QFile>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcPreferences, "ardeno.preferences", QtWarningMsg)

} // namespace

Preferences::Preferences(const std::string& path)
    : m_settings(QFile::decodeName(path.c_str()), QSettings::IniFormat)
{
    if (m_settings.status() != QSettings::NoError) {
        qCWarning(lcPreferences, "%s cannot be read (%s); the default preferences are used",
                  path.c_str(), m_settings.status() == QSettings::FormatError ? "damaged" : "no access");
        m_usable = false;
    }
}

QVariant Preferences::Value(const QString& key, const QVariant& fallback) const
{
    if (!m_usable)
        return fallback;
    QVariant stored = m_settings.value(key);
    if (!stored.isValid())
        return fallback;
    // A value of the wrong kind (a hand-edited or damaged line) counts as none.
    if (fallback.isValid() && !stored.convert(fallback.metaType())) {
        qCWarning(lcPreferences, "%s: the value of %s cannot be used; its default is used instead", qPrintable(m_settings.fileName()),
                  qPrintable(key));
        return fallback;
    }
    return stored;
}

void Preferences::SetValue(const QString& key, const QVariant& value)
{
    if (!m_usable) {
        // A damaged file is replaced whole by what this run chooses.
        m_settings.clear();
        m_usable = true;
    }
    m_settings.setValue(key, value);
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError)
        qCWarning(lcPreferences, "%s cannot be written; the preference lasts until the program ends",
                  qPrintable(m_settings.fileName()));
}
