#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace velmor::platform {

// The app's user defaults: property-list values by key. A value is a bool, a 64-bit integer, a
// double, a QString, a QByteArray (data), a QDateTime, a QVariantList or a QVariantMap of these.
// An invalid QVariant means absent.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

    // Typed reads: absent unless the stored value has exactly that type, so that a number is
    // never taken for a Boolean.
    std::optional<bool> boolValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    std::optional<QByteArray> dataValue(const QString& key) const;
    std::optional<QVariantMap> dictionaryValue(const QString& key) const;
    std::optional<QVariantList> arrayValue(const QString& key) const;
};

} // namespace velmor::platform
