// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MprisClient.h"

#include "window/mpris/MprisService.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace {

constexpr int kTimeoutMs = 5000;
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

MprisClient::Property Received(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return {value, value.value<QDBusArgument>().currentSignature()};
    return {value, QString::fromLatin1(QDBusMetaType::typeToSignature(value.metaType()))};
}

} // namespace

MprisClient::MprisClient(QDBusConnection bus) : m_bus(std::move(bus))
{
    const QString service = QString::fromLatin1(MprisService::kBusName);
    const QString path = QString::fromLatin1(MprisService::kObjectPath);
    m_bus.connect(service, path, kProperties, QStringLiteral("PropertiesChanged"), this,
                  SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
    m_bus.connect(service, path, QString::fromLatin1(kPlayer), QStringLiteral("Seeked"), this,
                  SLOT(OnSeeked(qlonglong)));
}

QString MprisClient::Call(const char* interface, const char* method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(MprisService::kBusName),
                                                       QString::fromLatin1(MprisService::kObjectPath),
                                                       QString::fromLatin1(interface), QString::fromLatin1(method));
    call.setArguments(arguments);
    QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kTimeoutMs);
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QString();
}

MprisClient::Property MprisClient::Get(const char* interface, const QString& name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(MprisService::kBusName),
                                                       QString::fromLatin1(MprisService::kObjectPath), kProperties,
                                                       QStringLiteral("Get"));
    call << QString::fromLatin1(interface) << name;
    QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return Received(reply.arguments().at(0).value<QDBusVariant>().variant());
}

std::map<QString, MprisClient::Property> MprisClient::GetAll(const char* interface)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(MprisService::kBusName),
                                                       QString::fromLatin1(MprisService::kObjectPath), kProperties,
                                                       QStringLiteral("GetAll"));
    call << QString::fromLatin1(interface);
    QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return Entries(reply.arguments().at(0));
}

QString MprisClient::Set(const char* interface, const QString& name, const QVariant& value)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(MprisService::kBusName),
                                                       QString::fromLatin1(MprisService::kObjectPath), kProperties,
                                                       QStringLiteral("Set"));
    call << QString::fromLatin1(interface) << name << QVariant::fromValue(QDBusVariant(value));
    QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kTimeoutMs);
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QString();
}

std::map<QString, MprisClient::Property> MprisClient::Entries(const QVariant& dictionary)
{
    std::map<QString, Property> entries;
    if (dictionary.metaType() != QMetaType::fromType<QDBusArgument>())
        return entries;
    const QDBusArgument argument = dictionary.value<QDBusArgument>();
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QDBusVariant value;
        argument.beginMapEntry();
        argument >> key >> value;
        argument.endMapEntry();
        entries[key] = Received(value.variant());
    }
    argument.endMap();
    return entries;
}

QVariant MprisClient::LastAnnounced(const QString& name) const
{
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        if (change->contains(name))
            return change->value(name);
    }
    return {};
}

void MprisClient::OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == QLatin1String(kPlayer))
        changes.push_back(changed);
}

void MprisClient::OnSeeked(qlonglong position)
{
    seeks.push_back(position);
}
