#include "suite_ui/launch_at_login_controller.h"

#include "platform/host.h"
#include "platform/main_bundle.h"
#include "platform/scheduler.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include <algorithm>

namespace velmor {
namespace {

// The path with "." and ".." taken out and every symbolic link of the part that exists resolved;
// the part that does not exist is kept as written. Empty for a relative path.
QString resolvedPath(const QString& pathOrUrl)
{
    QString path = pathOrUrl;
    if (path.startsWith(QLatin1String("file:")))
        path = QUrl(path).toLocalFile();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    path = QDir::cleanPath(path);

    QString existing = path;
    QStringList missing;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        const QFileInfo info(existing);
        missing.prepend(info.fileName());
        existing = info.path();
    }
    QString resolved = QFileInfo(existing).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = existing;
    if (!missing.isEmpty())
        resolved += u'/' + missing.join(u'/');
    return QDir::cleanPath(resolved);
}

bool isInside(const QString& path, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString resolvedFolder = resolvedPath(folder);
    if (resolvedFolder.isEmpty())
        return false;
    // The separator belongs to the test: "/ApplicationsOld/App.app" is not in "/Applications".
    QString prefix = resolvedFolder;
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    return path.startsWith(prefix);
}

} // namespace

LaunchAtLoginController::Locations LaunchAtLoginController::Locations::of(const platform::Host& host)
{
    Locations locations;
    locations.systemApplications = QString::fromUtf8(systemApplicationsFolder);
    const QString home = host.homeDirectory();
    if (!home.isEmpty())
        locations.userApplications = QDir(home).filePath(QString::fromUtf8(applicationsFolderName));
    return locations;
}

LaunchAtLoginController::LaunchAtLoginController(platform::LoginItems& loginItems,
                                                 const platform::MainBundle& bundle,
                                                 const Locations& locations, platform::Scheduler& scheduler,
                                                 QObject* parent)
    : QObject(parent), m_loginItems(loginItems), m_scheduler(scheduler),
      m_unavailableReason(unavailableReasonFor(bundle, locations)), m_status(loginItems.status())
{
    // Another view of the same login item (the organizer's switch) may change it.
    m_observer = m_loginItems.observe([this] { refreshStatus(); });
}

LaunchAtLoginController::~LaunchAtLoginController()
{
    m_loginItems.removeObserver(m_observer);
}

std::optional<QString> LaunchAtLoginController::unavailableReasonFor(const platform::MainBundle& bundle,
                                                                     const Locations& locations)
{
    if (isReviewBuild(bundle))
        return QString::fromUtf8(reviewReason);
    if (!isInstalled(bundle.url(), locations))
        return QString::fromUtf8(notInstalledReason);
    return std::nullopt;
}

bool LaunchAtLoginController::isReviewBuild(const platform::MainBundle& bundle)
{
    if (const auto identifier = bundle.identifier()) {
        if (identifier->endsWith(QLatin1String(reviewIdentifierSuffix)) ||
            identifier->contains(QLatin1String(reviewIdentifierPart)))
            return true;
    }
    const QStringList keys = bundle.infoKeys();
    return std::any_of(keys.cbegin(), keys.cend(),
                       [](const QString& key) { return key.startsWith(QLatin1String(reviewInfoKeyPrefix)); });
}

bool LaunchAtLoginController::isInstalled(const QString& bundlePath, const Locations& locations)
{
    const QString path = resolvedPath(bundlePath);
    if (path.isEmpty() || QFileInfo(path).suffix() != QLatin1String(bundleExtension))
        return false;
    return isInside(path, locations.systemApplications) || isInside(path, locations.userApplications);
}

bool LaunchAtLoginController::isRegistered() const
{
    return m_status == platform::LoginItemStatus::Enabled ||
           m_status == platform::LoginItemStatus::RequiresApproval;
}

void LaunchAtLoginController::setEnabled(bool enabled)
{
    if (m_unavailableReason || m_updating)
        return;
    refreshStatus();
    if (enabled == isRegistered())
        return;
    m_updating = true;
    Q_EMIT updatingChanged();
    setErrorMessage(std::nullopt);

    QPointer<LaunchAtLoginController> self(this);
    m_scheduler.post([self, enabled]() {
        if (!self)
            return;
        if (enabled) {
            self->finishUpdate(self->m_loginItems.registerMainApp());
            return;
        }
        self->m_loginItems.unregisterMainApp([self](std::optional<QString> error) {
            if (self)
                self->finishUpdate(error);
        });
    });
}

void LaunchAtLoginController::refreshStatus()
{
    const platform::LoginItemStatus status = m_loginItems.status();
    if (status == m_status)
        return;
    m_status = status;
    Q_EMIT statusChanged();
}

void LaunchAtLoginController::openSystemSettings()
{
    m_loginItems.openSystemSettingsLoginItems();
}

void LaunchAtLoginController::finishUpdate(const std::optional<QString>& error)
{
    if (error)
        setErrorMessage(QString::fromUtf8(failurePrefix) + *error);
    refreshStatus();
    m_updating = false;
    Q_EMIT updatingChanged();
}

void LaunchAtLoginController::setErrorMessage(std::optional<QString> message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged();
}

} // namespace velmor
