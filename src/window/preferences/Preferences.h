// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QVariant>
#include <string>

// The user's preferences that the settings file has no place for (speed,
// snapping, drill and shadowing options, the waveform's zoom): one INI file
// in the user's configuration folder, replaced in one step whenever a value
// changes. A damaged or unreadable file gives the defaults and a warning on
// the log; it never stops the program.
class Preferences {
public:
    explicit Preferences(const std::string& path);

    // The value stored under `key`, of the same type as `fallback`; the
    // fallback when there is none, it is of another kind, or the file could
    // not be read.
    QVariant Value(const QString& key, const QVariant& fallback) const;
    // Stores the value and writes the file.
    void SetValue(const QString& key, const QVariant& value);

private:
    QSettings m_settings;
    bool m_usable = true;
};
