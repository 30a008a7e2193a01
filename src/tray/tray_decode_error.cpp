#include "tray/tray_decode_error.h"

namespace velmor {

namespace {

constexpr QStringView kUnknownSection = u"Unknown tray section: ";
constexpr QStringView kKeyNotFound = u"No value for the required member \"%1\".";
constexpr QStringView kTypeMismatch = u"Expected %2 at \"%1\".";

} // namespace

TrayDecodeError TrayDecodeError::keyNotFound(const QString& path)
{
    return {Kind::keyNotFound, path, kKeyNotFound.toString().arg(path)};
}

TrayDecodeError TrayDecodeError::typeMismatch(const QString& path, const QString& expected)
{
    return {Kind::typeMismatch, path, kTypeMismatch.toString().arg(path, expected)};
}

TrayDecodeError TrayDecodeError::dataCorrupted(const QString& path, const QString& description)
{
    return {Kind::dataCorrupted, path, description};
}

TrayDecodeError TrayDecodeError::unknownSection(const QString& path, const QString& rawValue)
{
    return dataCorrupted(path, kUnknownSection.toString() + rawValue);
}

} // namespace velmor
