#include "platform/main_bundle.h"

#include "foundation/property_list.h"
#include "foundation/property_list_variant.h"
#include "foundation/system_error.h"

namespace velmor::platform {

MainBundle MainBundle::fromInfoPlist(const QByteArray& infoPlist, QString url)
{
    try {
        const PropertyList list = PropertyList::decode(infoPlist);
        return MainBundle(plist_variant::toVariant(list.root()).toMap(), std::move(url));
    } catch (const SystemError&) {
        return MainBundle({}, std::move(url));
    }
}

MainBundle MainBundle::embedded(QString url)
{
    return fromInfoPlist(embeddedInfoPlist(), std::move(url));
}

std::optional<QString> MainBundle::identifier() const
{
    const auto value = infoString(QStringLiteral("CFBundleIdentifier"));
    if (!value || value->isEmpty())
        return std::nullopt;
    return value;
}

std::optional<QString> MainBundle::infoString(const QString& key) const
{
    const QVariant value = m_info.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

} // namespace velmor::platform
