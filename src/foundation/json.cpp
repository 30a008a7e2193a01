#include "foundation/json.h"

#include "foundation/system_error.h"

namespace velmor::json {

Json parse(const QByteArray& bytes)
{
    try {
        return Json::parse(bytes.constBegin(), bytes.constEnd());
    } catch (const Json::exception& error) {
        throw SystemError(SystemError::Kind::Parse, QString::fromUtf8(error.what()));
    }
}

std::optional<Json> tryParse(const QByteArray& bytes)
{
    Json value = Json::parse(bytes.constBegin(), bytes.constEnd(), nullptr, false);
    if (value.is_discarded())
        return std::nullopt;
    return value;
}

QByteArray serialize(const Json& value)
{
    const std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<QString> string(const Json& value)
{
    if (!value.is_string())
        return std::nullopt;
    return toQString(value.get<std::string>());
}

} // namespace velmor::json
