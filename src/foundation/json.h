#pragma once

#include <QByteArray>
#include <QString>

#include <nlohmann/json.hpp>
#include <optional>

namespace velmor {

// Stored forms and wire bodies use an insertion-ordered JSON value, so a form that fixes its
// member order is written in that order.
using Json = nlohmann::ordered_json;

namespace json {

// Parses UTF-8 JSON text; throws SystemError (Parse) with the parser's reason.
Json parse(const QByteArray& bytes);

// Parses UTF-8 JSON text; absent when it does not parse.
std::optional<Json> tryParse(const QByteArray& bytes);

// Compact UTF-8 text. Invalid UTF-8 inside strings is replaced rather than thrown.
QByteArray serialize(const Json& value);

inline std::string toStd(const QString& text)
{
    return text.toStdString();
}
inline QString toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

// The string value of a JSON string; absent for any other type.
std::optional<QString> string(const Json& value);

} // namespace json
} // namespace velmor
