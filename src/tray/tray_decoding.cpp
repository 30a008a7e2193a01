#include "tray/tray_decoding.h"

#include "foundation/uuid_text.h"

namespace velmor::tray_decoding {

namespace {

constexpr QStringView kObject = u"an object";
constexpr QStringView kArray = u"an array";
constexpr QStringView kString = u"a string";
constexpr QStringView kInvalidUuid = u"Invalid UUID string: ";

} // namespace

QString childPath(const QString& parent, const QString& child)
{
    return parent.isEmpty() ? child : parent + u'.' + child;
}

const Json& requireObject(const Json& value, const QString& path)
{
    if (!value.is_object())
        throw TrayDecodeError::typeMismatch(path, kObject.toString());
    return value;
}

const Json& requireArray(const Json& value, const QString& path)
{
    if (!value.is_array())
        throw TrayDecodeError::typeMismatch(path, kArray.toString());
    return value;
}

const Json& requireMember(const Json& object, const char* name, const QString& parentPath)
{
    const auto found = object.find(name);
    if (found == object.end())
        throw TrayDecodeError::keyNotFound(childPath(parentPath, QString::fromUtf8(name)));
    return *found;
}

QString requireString(const Json& value, const QString& path)
{
    if (!value.is_string())
        throw TrayDecodeError::typeMismatch(path, kString.toString());
    return json::toQString(value.get_ref<const std::string&>());
}

QStringList requireStringArray(const Json& value, const QString& path)
{
    requireArray(value, path);
    QStringList result;
    result.reserve(static_cast<qsizetype>(value.size()));
    for (std::size_t i = 0; i < value.size(); ++i)
        result.append(requireString(value[i], childPath(path, QString::number(i))));
    return result;
}

QUuid requireUuid(const Json& value, const QString& path)
{
    const QString text = requireString(value, path);
    const std::optional<QUuid> uuid = uuid_text::parse(text);
    if (!uuid)
        throw TrayDecodeError::dataCorrupted(path, kInvalidUuid.toString() + text);
    return *uuid;
}

} // namespace velmor::tray_decoding
