#pragma once

#include "platform/updater_framework.h"
#include "simulated_mac/updater/updater_alert.h"

#include <QSslConfiguration>

#include <functional>

namespace velmor::platform {
class Host;
class Scheduler;
class UserDefaults;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// The simulated Mac's update framework. Its controllers fetch the RSS feed named by "SUFeedURL"
// over HTTPS, pick the newest release the running build and the system allow, download its archive
// into a private cache folder, check its length and its Ed25519 signature against "SUPublicEDKey",
// and hand a verified release to the installer, which the composition root provides (it replaces
// the app's version and relaunches the app). Its own dialogs appear in `alert()`.
class SimulatedUpdaterFramework final : public platform::UpdaterFramework {
public:
    static constexpr auto errorDomainName = "SimulatedUpdaterErrorDomain";
    // The framework's settings, kept in the app's user defaults (the automatic-check key also
    // gives the build's default in the Info.plist).
    static constexpr auto automaticChecksKey = "SUEnableAutomaticChecks";
    static constexpr auto automaticDownloadsKey = "SUAutomaticallyUpdate";
    static constexpr auto lastCheckTimeKey = "SULastCheckTime";
    static constexpr auto checkIntervalInfoKey = "SUScheduledCheckInterval";
    static constexpr auto feedURLInfoKey = "SUFeedURL";
    static constexpr auto publicKeyInfoKey = "SUPublicEDKey";
    static constexpr double defaultCheckIntervalSeconds = 86400;
    static constexpr double minimumCheckIntervalSeconds = 3600;
    // Inside the home: "Library/Caches/<bundle identifier>/" followed by this folder.
    static constexpr auto cacheFolderName = "Updates";

    struct Configuration {
        // Whom the framework trusts for the feed and the archives.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        // Empty: the cache folder inside the home.
        QString cacheFolder;
        // Replaces the app with the verified release and relaunches it; the framework has
        // removed the archive by then. Absent: installing fails.
        std::function<void(const platform::UpdateItem& item)> install;
    };

    SimulatedUpdaterFramework(platform::Scheduler& scheduler, const platform::Host& host, platform::UserDefaults& defaults,
                              Configuration configuration);
    ~SimulatedUpdaterFramework() override;

    std::unique_ptr<platform::UpdaterController> createController(platform::UpdaterDelegate& delegate) override;
    QString errorDomain() const override { return QString::fromLatin1(errorDomainName); }

    UpdaterAlert& alert() { return m_alert; }
    QString cacheFolder() const;

    platform::Scheduler& scheduler() const { return m_scheduler; }
    const platform::Host& host() const { return m_host; }
    platform::UserDefaults& defaults() const { return m_defaults; }
    const Configuration& configuration() const { return m_configuration; }

private:
    platform::Scheduler& m_scheduler;
    const platform::Host& m_host;
    platform::UserDefaults& m_defaults;
    Configuration m_configuration;
    UpdaterAlert m_alert;
};

} // namespace velmor::simulated_mac
