#include "platform/user_defaults.h"

namespace velmor::platform {
namespace {

template <typename T> std::optional<T> typed(const QVariant& value, QMetaType::Type type)
{
    if (value.typeId() != type)
        return std::nullopt;
    return value.value<T>();
}

} // namespace

std::optional<bool> UserDefaults::boolValue(const QString& key) const
{
    return typed<bool>(value(key), QMetaType::Bool);
}

std::optional<QString> UserDefaults::stringValue(const QString& key) const
{
    return typed<QString>(value(key), QMetaType::QString);
}

std::optional<QByteArray> UserDefaults::dataValue(const QString& key) const
{
    return typed<QByteArray>(value(key), QMetaType::QByteArray);
}

std::optional<QVariantMap> UserDefaults::dictionaryValue(const QString& key) const
{
    return typed<QVariantMap>(value(key), QMetaType::QVariantMap);
}

std::optional<QVariantList> UserDefaults::arrayValue(const QString& key) const
{
    const QVariant stored = value(key);
    if (stored.typeId() == QMetaType::QStringList)
        return QVariantList(stored.toList());
    return typed<QVariantList>(stored, QMetaType::QVariantList);
}

} // namespace velmor::platform
