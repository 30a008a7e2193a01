#include "tray_visibility/mac_tray_position_store.h"

#include "foundation/property_list.h"
#include "platform/host.h"
#include "tray_visibility/tray_position_error.h"

#include <cmath>

namespace velmor {
namespace {

const QString kMenuBarDomainPath =
    QStringLiteral("/Library/Group Containers/com.apple.MenuBar/Library/Preferences/com.apple.MenuBar");
const QString kPreferredPositions = QStringLiteral("TrailingItemPreferredPositions");

DefaultsToolRunner::Configuration positionRunnerConfiguration(const platform::Host& host)
{
    return {host.defaultsToolPath(), host.temporaryDirectory(), QStringLiteral("velmor-tray-position-read-"),
            QStringLiteral("velmor-tray-position-import-"), QStringLiteral("positions.plist")};
}

[[noreturn]] void unsupportedPosition()
{
    throw TrayPositionError(TrayPositionError::Case::unsupported);
}

} // namespace

TrayPositionStore::Positions MacTrayPositionStore::positionsOf(const PropertyList& domain)
{
    const PlistNode positions = domain.root().value(kPreferredPositions);
    if (!positions.isDictionary())
        unsupportedPosition();
    TrayPositionStore::Positions result;
    result.reserve(positions.count());
    positions.forEachMember([&](const QString& key, PlistNode value) {
        std::optional<double> number = value.toReal();
        if (const auto integer = value.toInteger())
            number = static_cast<double>(*integer);
        if (!number || !std::isfinite(*number))
            unsupportedPosition();
        result.insert(key, *number);
    });
    return result;
}

QByteArray MacTrayPositionStore::patchedDomain(const PropertyList& domain, const Positions& changes, Keys keys)
{
    const Positions current = positionsOf(domain);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const bool known = current.contains(it.key());
        if ((!known && (keys == Keys::existingOnly || it.key().isEmpty())) || !std::isfinite(it.value()))
            unsupportedPosition();
    }
    // Edited where they stand, so every position that is not patched keeps its stored form.
    PropertyList patched = domain;
    PlistNode positions = patched.root().value(kPreferredPositions);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        positions.setReal(it.key(), it.value());
    return patched.toBinary();
}

QString MacTrayPositionStore::defaultDomain(const QString& homeDirectory)
{
    return homeDirectory + kMenuBarDomainPath;
}

MacTrayPositionStore::MacTrayPositionStore(const platform::Host& host)
    : MacTrayPositionStore(host, defaultDomain(host.homeDirectory()))
{}

MacTrayPositionStore::MacTrayPositionStore(const platform::Host& host, QString domain)
    : m_domain(std::move(domain)), m_runner(positionRunnerConfiguration(host))
{}

PropertyList MacTrayPositionStore::exportDomain() const
{
    const auto output = m_runner.exportDomain(m_domain);
    if (!output)
        throw TrayPositionError(TrayPositionError::Case::access);
    PropertyList domain = PropertyList::decode(*output);
    if (!domain.root().isDictionary())
        unsupportedPosition();
    return domain;
}

TrayPositionStore::Positions MacTrayPositionStore::read()
{
    return positionsOf(exportDomain());
}

void MacTrayPositionStore::patch(const Positions& changes, Keys keys)
{
    if (changes.isEmpty())
        return;
    const QByteArray patched = patchedDomain(exportDomain(), changes, keys);
    if (!m_runner.importDomain(m_domain, patched))
        throw TrayPositionError(TrayPositionError::Case::access);
    const Positions observed = read();
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const auto seen = observed.constFind(it.key());
        if (seen == observed.cend() || *seen != it.value())
            throw TrayPositionError(TrayPositionError::Case::verification);
    }
}

} // namespace velmor
