#include "tray/tray_section.h"

#include "tray/tray_decode_error.h"
#include "tray/tray_decoding.h"

namespace velmor {

namespace {

constexpr std::array<QStringView, 4> kRawValues = {
    u"alwaysVisible",
    u"expandable",
    u"alwaysHidden",
    u"trayBelow",
};

} // namespace

QString rawValue(TraySection section)
{
    return kRawValues.at(static_cast<std::size_t>(section)).toString();
}

std::optional<TraySection> traySectionFromRawValue(QStringView rawValue)
{
    for (TraySection section : kAllTraySections) {
        if (kRawValues.at(static_cast<std::size_t>(section)) == rawValue)
            return section;
    }
    return std::nullopt;
}

Json toJson(TraySection section)
{
    return json::toStd(rawValue(section));
}

TraySection traySectionFromJson(const Json& value, const QString& path)
{
    const QString text = tray_decoding::requireString(value, path);
    const std::optional<TraySection> section = traySectionFromRawValue(text);
    if (!section)
        throw TrayDecodeError::unknownSection(path, text);
    return *section;
}

} // namespace velmor
