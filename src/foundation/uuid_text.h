#pragma once

#include <QString>
#include <QUuid>

#include <optional>

namespace velmor::uuid_text {

// Upper-case 8-4-4-4-12 hexadecimal form, as stored records and wire bodies carry UUIDs.
QString canonical(const QUuid& uuid);

// Accepts exactly the 36-character 8-4-4-4-12 shape, hexadecimal digits in either case.
std::optional<QUuid> parse(const QString& text);

// A random version-4 UUID.
QUuid random();

} // namespace velmor::uuid_text
