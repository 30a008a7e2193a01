#pragma once

#include "foundation/json.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace velmor {

// Where an app or an extra is sorted. The declaration order is the section order everywhere:
// iteration, normalisation and encoding.
enum class TraySection {
    alwaysVisible,
    expandable,
    alwaysHidden,
    trayBelow,
};

// An app or extra without an entry counts as this section.
inline constexpr TraySection kDefaultTraySection = TraySection::alwaysVisible;

inline constexpr std::array<TraySection, 4> kAllTraySections = {
    TraySection::alwaysVisible,
    TraySection::expandable,
    TraySection::alwaysHidden,
    TraySection::trayBelow,
};

// The stored and wire name of a section; it is also the section's identity.
QString rawValue(TraySection section);
// The section with that raw value; absent for any other text.
std::optional<TraySection> traySectionFromRawValue(QStringView rawValue);

// A section is stored as its raw value, a bare JSON string.
Json toJson(TraySection section);
// Throws TrayDecodeError for anything but one of the four raw values.
TraySection traySectionFromJson(const Json& value, const QString& path = {});

} // namespace velmor
