#include "tray_visibility/mac_tray_preference_store.h"

#include "foundation/property_list.h"
#include "platform/host.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_tracked_applications.h"

namespace velmor {
namespace {

const QString kDomainPath = QStringLiteral(
    "/Library/Group "
    "Containers/group.com.apple.controlcenter/Library/Preferences/group.com.apple.controlcenter");
const QString kTrackedApplications = QStringLiteral("trackedApplications");

DefaultsToolRunner::Configuration runnerConfiguration(const platform::Host& host)
{
    return {host.defaultsToolPath(), host.temporaryDirectory(), QStringLiteral("velmor-tray-prefs-"),
            QStringLiteral("velmor-tray-import-"), QStringLiteral("preferences.plist")};
}

} // namespace

struct MacTrayPreferenceStore::Exported {
    PropertyList domain;
    QByteArray trackedApplications;
};

QString MacTrayPreferenceStore::defaultDomain(const QString& homeDirectory)
{
    return homeDirectory + kDomainPath;
}

MacTrayPreferenceStore::MacTrayPreferenceStore(const platform::Host& host)
    : MacTrayPreferenceStore(host, defaultDomain(host.homeDirectory()))
{}

MacTrayPreferenceStore::MacTrayPreferenceStore(const platform::Host& host, QString domain)
    : m_domain(std::move(domain)), m_runner(runnerConfiguration(host))
{}

MacTrayPreferenceStore::Exported MacTrayPreferenceStore::exportDomain() const
{
    const auto output = m_runner.exportDomain(m_domain);
    // Without Full Disk Access the group container reads as nothing at all.
    if (!output || output->isEmpty())
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    PropertyList domain = PropertyList::decode(*output);
    const PlistNode root = domain.root();
    const auto list = root.isDictionary() ? root.value(kTrackedApplications).toData() : std::nullopt;
    if (!list)
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    return {std::move(domain), *list};
}

QByteArray MacTrayPreferenceStore::read()
{
    return exportDomain().trackedApplications;
}

void MacTrayPreferenceStore::write(const QByteArray& data)
{
    Exported exported = exportDomain();
    exported.domain.root().setEntry(kTrackedApplications, PropertyList::data(data));
    if (!m_runner.importDomain(m_domain, exported.domain.toBinary()))
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    if (!TrayTrackedApplications::verifiesVisibilityChange(exported.trackedApplications, data, read()))
        throw TrayPreferenceError(TrayPreferenceError::Case::verification);
}

} // namespace velmor
