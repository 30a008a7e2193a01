#include "foundation/libplist_access.h"

#include "foundation/c_numeric_locale.h"
#include "foundation/property_list.h"
#include "foundation/system_error.h"

namespace velmor::libplist {
QByteArray scalarObject(plist_t scalar)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_bin(scalar, &bytes, &length);
    }
    const std::unique_ptr<char, FreeDeleter> owned(bytes);
    QByteArray object;
    constexpr uint32_t headerSize = 8;
    constexpr uint32_t trailerSize = 32;
    if (bytes && length > headerSize + trailerSize) {
        quint64 tableOffset = 0;
        for (uint32_t i = length - 8; i < length; ++i)
            tableOffset = (tableOffset << 8) | static_cast<unsigned char>(bytes[i]);
        if (tableOffset > headerSize && tableOffset <= length - trailerSize)
            object = QByteArray(bytes + headerSize, static_cast<qsizetype>(tableOffset - headerSize));
    }
    if (object.isEmpty())
        throw SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::notWrittenText));
    return object;
}

bool nestsDeeperThan(plist_t value, int limit)
{
    const plist_type type = plist_get_node_type(value);
    if (type != PLIST_DICT && type != PLIST_ARRAY)
        return false;
    if (limit <= 0)
        return true;
    bool deeper = false;
    const auto visit = [&](plist_t child) {
        if (!deeper && nestsDeeperThan(child, limit - 1))
            deeper = true;
    };
    if (type == PLIST_DICT)
        walkDictionary(value, [&](const char*, plist_t child) { visit(child); });
    else
        walkArray(value, visit);
    return deeper;
}

} // namespace velmor::libplist
