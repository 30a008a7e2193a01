#include "tray/tray_named_group.h"

#include "foundation/text.h"
#include "foundation/uuid_text.h"
#include "tray/tray_decoding.h"

#include <algorithm>

namespace velmor {

namespace {

constexpr char kIDKey[] = "id";
constexpr char kNameKey[] = "name";
constexpr char kSymbolKey[] = "symbol";

} // namespace

bool TrayNamedGroup::isKnownSymbol(QStringView candidate)
{
    return std::find(kSymbols.begin(), kSymbols.end(), candidate) != kSymbols.end();
}

void TrayNamedGroup::normalize()
{
    name = text::prefixGraphemes(text::trimmed(name), kMaxNameLength);
    if (name.isEmpty())
        name = kFallbackName.toString();
    if (!isKnownSymbol(symbol))
        symbol = kFallbackSymbol.toString();
}

Json TrayNamedGroup::encode() const
{
    Json result = Json::object();
    result[kIDKey] = json::toStd(uuid_text::canonical(id));
    result[kNameKey] = json::toStd(name);
    result[kSymbolKey] = json::toStd(symbol);
    return result;
}

TrayNamedGroup TrayNamedGroup::decode(const Json& value, const QString& path)
{
    using namespace tray_decoding;
    const Json& object = requireObject(value, path);
    TrayNamedGroup group;
    group.id = requireUuid(requireMember(object, kIDKey, path), childPath(path, QString::fromLatin1(kIDKey)));
    group.name =
        requireString(requireMember(object, kNameKey, path), childPath(path, QString::fromLatin1(kNameKey)));
    group.symbol = requireString(requireMember(object, kSymbolKey, path),
                                 childPath(path, QString::fromLatin1(kSymbolKey)));
    return group;
}

} // namespace velmor
