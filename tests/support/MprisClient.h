// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <map>
#include <ostream>
#include <vector>

// Readable strings and values in test messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << value.toString().toStdString() << " (" << value.typeName() << ")";
}

// A desktop's media widget, as far as a test needs one: calls the methods of
// the program's MPRIS interfaces, reads their properties with the D-Bus types
// they came in, and keeps the PropertiesChanged and Seeked signals it gets.
// Every call waits for its answer with the event loop running, so that the
// program in the same process can answer it.
class MprisClient : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kRoot = "org.mpris.MediaPlayer2";
    static constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";

    // A property as it came over the bus.
    struct Property {
        QVariant value;
        // Its D-Bus type ("s", "a{sv}", ...); empty when it could not be read.
        QString signature;
    };

    explicit MprisClient(QDBusConnection bus);

    // Calls `method` of `interface`; returns the error's name, empty when the
    // call succeeded.
    QString Call(const char* interface, const char* method, const QVariantList& arguments = {});
    Property Get(const char* interface, const QString& name);
    // Every property of `interface`, by name.
    std::map<QString, Property> GetAll(const char* interface);
    // Writes a property; returns the error's name, empty on success.
    QString Set(const char* interface, const QString& name, const QVariant& value);
    // The entries of an a{sv} value (the Metadata), each with its type.
    static std::map<QString, Property> Entries(const QVariant& dictionary);

    // The properties of the Player interface announced as changed, one map
    // per signal, and the positions announced by Seeked.
    std::vector<QVariantMap> changes;
    std::vector<qlonglong> seeks;
    // The last value announced for `name`; invalid when none was.
    QVariant LastAnnounced(const QString& name) const;

private slots:
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void OnSeeked(qlonglong position);

private:
    QDBusConnection m_bus;
};
