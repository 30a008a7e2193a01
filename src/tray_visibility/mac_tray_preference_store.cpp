#include "tray_visibility/mac_tray_preference_store.h"

#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "platform/host.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_tracked_applications.h"

namespace velmor {
namespace {

const QString kControlCenterDomainPath = QStringLiteral(
    "/Library/Group "
    "Containers/group.com.apple.controlcenter/Library/Preferences/group.com.apple.controlcenter");
const QString kTrackedApplications = QStringLiteral("trackedApplications");

DefaultsToolRunner::Configuration preferenceRunnerConfiguration(const platform::Host& host)
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
    return homeDirectory + kControlCenterDomainPath;
}

MacTrayPreferenceStore::MacTrayPreferenceStore(const platform::Host& host)
    : MacTrayPreferenceStore(host, defaultDomain(host.homeDirectory()))
{}

MacTrayPreferenceStore::MacTrayPreferenceStore(const platform::Host& host, QString domain)
    : m_domain(std::move(domain)), m_runner(preferenceRunnerConfiguration(host))
{}

MacTrayPreferenceStore::Exported MacTrayPreferenceStore::exportDomain() const
{
    const auto output = m_runner.exportDomain(m_domain);
    // Without Full Disk Access the group container reads as nothing at all.
    if (!output || output->isEmpty())
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    std::optional<PropertyList> domain;
    try {
        domain = PropertyList::decode(*output);
    } catch (const SystemError&) {
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    }
    const PlistNode root = domain->root();
    if (!root.isDictionary())
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    if (root.count() == 0)
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    // A domain the app can read but that tracks no application yet has no rows, which is not a
    // missing permission: a hide then names the apps that are not registered.
    const PlistNode list = root.value(kTrackedApplications);
    if (!list.isValid())
        return {std::move(*domain), PropertyList::array().toBinary()};
    const auto data = list.toData();
    if (!data)
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    return {std::move(*domain), *data};
}

QByteArray MacTrayPreferenceStore::read()
{
    return exportDomain().trackedApplications;
}

void MacTrayPreferenceStore::write(const QByteArray& data)
{
    std::optional<TrayTrackedApplications::List> list;
    try {
        list.emplace(data);
    } catch (const TrayTrackedApplications::Failure&) {
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    } catch (const SystemError& error) {
        if (error.kind() != SystemError::Kind::Parse)
            throw;
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    }
    writeList(*list);
}

void MacTrayPreferenceStore::writeList(const TrayTrackedApplications::List& list)
{
    Exported exported = exportDomain();
    const QByteArray data = list.data();
    exported.domain.root().setEntry(kTrackedApplications, PropertyList::data(data));
    if (!m_runner.importDomain(m_domain, exported.domain.toBinary()))
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    // A read-back the app cannot understand does not confirm the change either.
    bool confirmed = false;
    try {
        confirmed = list.verifies(exported.trackedApplications, read());
    } catch (const TrayTrackedApplications::Failure&) {
    } catch (const SystemError& error) {
        if (error.kind() != SystemError::Kind::Parse)
            throw;
    } catch (const TrayPreferenceError& error) {
        if (error.kind() != TrayPreferenceError::Case::malformed)
            throw;
    }
    if (!confirmed)
        throw TrayPreferenceError(TrayPreferenceError::Case::verification);
}

} // namespace velmor
