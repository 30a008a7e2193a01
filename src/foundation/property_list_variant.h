#pragma once

#include "foundation/property_list.h"

#include <QVariant>

#include <optional>

namespace velmor::plist_variant {

// A property-list value as a QVariant: dictionaries become QVariantMap, arrays QVariantList,
// integers qint64, reals double, dates QDateTime (UTC, millisecond precision), data QByteArray,
// UIDs quint64. An invalid node gives an invalid QVariant.
QVariant toVariant(PlistNode node);

// The reverse; absent for a QVariant type no property list can hold.
std::optional<PropertyList> fromVariant(const QVariant& value);

} // namespace velmor::plist_variant
