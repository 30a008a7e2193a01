#pragma once

#include "foundation/json.h"
#include "tray/tray_decode_error.h"

#include <QStringList>
#include <QUuid>

#include <optional>

// Reading the tray's stored JSON forms strictly: each helper returns the value of the required
// shape or throws TrayDecodeError naming where the record went wrong.
namespace velmor::tray_decoding {

// "parent.child", or just the child at the root.
QString childPath(const QString& parent, const QString& child);

const Json& requireObject(const Json& value, const QString& path);
const Json& requireArray(const Json& value, const QString& path);
const Json& requireMember(const Json& object, const char* name, const QString& parentPath);
QString requireString(const Json& value, const QString& path);
QStringList requireStringArray(const Json& value, const QString& path);
QUuid requireUuid(const Json& value, const QString& path);

// The result of a throwing decoder, or absent when the record is unreadable.
template <typename Decode> auto optionally(Decode&& decode) -> std::optional<decltype(decode())>
{
    try {
        return decode();
    } catch (const TrayDecodeError&) {
        return std::nullopt;
    }
}

} // namespace velmor::tray_decoding
