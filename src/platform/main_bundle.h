#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace velmor::platform {

// The running application's bundle: its identifier, location and information property list.
class MainBundle final {
public:
    // The Info.plist this build embeds (generated at configure time).
    static QByteArray embeddedInfoPlist();

    // A bundle described by Info.plist bytes; an unreadable list gives a bundle without values.
    static MainBundle fromInfoPlist(const QByteArray& infoPlist, QString url);
    // This build's own bundle, at `url`.
    static MainBundle embedded(QString url);

    MainBundle() = default;
    MainBundle(QVariantMap info, QString url) : m_info(std::move(info)), m_url(std::move(url)) {}

    // "CFBundleIdentifier", absent when missing, not a string or empty.
    std::optional<QString> identifier() const;
    QString url() const { return m_url; }
    // An Info.plist value; invalid when absent.
    QVariant infoValue(const QString& key) const { return m_info.value(key); }
    // Every key of the Info.plist.
    QStringList infoKeys() const { return m_info.keys(); }
    // The string value of an Info.plist key; absent when missing or not a string.
    std::optional<QString> infoString(const QString& key) const;
    // What an installer does to the bundle on disk (the simulated Mac's updates).
    void setInfoValue(const QString& key, const QVariant& value) { m_info.insert(key, value); }

private:
    QVariantMap m_info;
    QString m_url;
};

} // namespace velmor::platform
