#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace velmor::platform {

// One release offered by the update feed, as the framework describes it to its delegate.
struct UpdateItem {
    // The release's build version ("CFBundleVersion" of the new build), the one compared with the
    // running build.
    QString versionString;
    // The release's marketing version ("CFBundleShortVersionString"); the build version when the feed
    // names none.
    QString displayVersionString;
    // The oldest system version the release runs on; empty when the feed names none.
    QString minimumSystemVersion;
    QUrl fileURL;
    qint64 contentLength = 0;
    // Standard Base64 of the archive's Ed25519 signature; empty where the framework verifies it itself
    // without showing it.
    QString edSignature;
};

// An error as the framework reports it: its domain, its code within that domain and the
// framework's localized sentence.
struct UpdaterError {
    QString domain;
    qint64 code = 0;
    QString localizedDescription;
};

// What started an update cycle.
enum class UpdateCheck {
    // The user asked (the framework shows its own dialogs).
    Updates,
    // A scheduled check (silent unless it finds something).
    UpdatesInBackground,
    // A probe for information only, nothing is installed.
    UpdateInformation,
};

// The three properties of the updater that the app observes.
enum class UpdaterProperty {
    CanCheckForUpdates,
    AutomaticallyChecksForUpdates,
    AutomaticallyDownloadsUpdates,
};

// What the framework asks and tells the app. Every call arrives on the main thread; the framework
// holds its delegate weakly (the delegate owns the controller, so it outlives it).
class UpdaterDelegate {
public:
    virtual ~UpdaterDelegate() = default;

    virtual void didFindValidUpdate(const UpdateItem& item) = 0;
    virtual void didDownloadUpdate(const UpdateItem& item) = 0;
    // Called just before the release is installed (and before the relaunch is offered for postponing).
    virtual void willInstallUpdate(const UpdateItem& item) = 0;
    virtual void didAbortWithError(const UpdaterError& error) = 0;
    // The end of a cycle, with the error that ended it (absent when it ended normally, also when the
    // user chose to be reminded later).
    virtual void didFinishUpdateCycle(UpdateCheck check, const std::optional<UpdaterError>& error) = 0;
    // The framework is about to quit, install and relaunch the app. Returning true postpones that
    // until the app calls `install`; the framework keeps the installation ready meanwhile. Calling
    // `install` after the framework has given the installation up does nothing.
    virtual bool shouldPostponeRelaunchForUpdate(const UpdateItem& item, std::function<void()> install) = 0;
    // The system-profile keys the app allows the framework to send with its checks.
    virtual QStringList allowedSystemProfileKeys() = 0;
};

// The framework's standard updater controller with its updater, created without starting.
class UpdaterController {
public:
    using ObserverId = quint64;

    virtual ~UpdaterController() = default;

    virtual bool sendsSystemProfile() const = 0;
    virtual void setSendsSystemProfile(bool sends) = 0;

    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool checks) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool downloads) = 0;

    // Calls `handler` at once with the property's value, and again with every new value, on the
    // thread that changed it (the main thread here). Observers are removed explicitly.
    virtual ObserverId observe(UpdaterProperty property, std::function<void(bool value)> handler) = 0;
    virtual void removeObserver(ObserverId observer) = 0;

    // Starts the updater (its scheduled checks among them). Absent on success; a second call does
    // nothing.
    virtual std::optional<UpdaterError> start() = 0;
    // A user-initiated check, with the framework's own user interface.
    virtual void checkForUpdates() = 0;
};

// The update framework of the platform: a factory of standard updater controllers. The framework
// reads the feed ("SUFeedURL") and the signing key ("SUPublicEDKey") from the main bundle itself.
class UpdaterFramework {
public:
    virtual ~UpdaterFramework() = default;

    // A controller whose updater is not started, with `delegate` as its updater delegate and no
    // user-driver delegate.
    virtual std::unique_ptr<UpdaterController> createController(UpdaterDelegate& delegate) = 0;
    // The domain of the framework's own errors (the codes below belong to it).
    virtual QString errorDomain() const = 0;
};

// Codes of the framework's error domain that callers act on.
namespace updater_error {
inline constexpr qint64 appcastParse = 1000;
inline constexpr qint64 noUpdate = 1001;
inline constexpr qint64 appcast = 1002;
inline constexpr qint64 temporaryDirectory = 2000;
inline constexpr qint64 download = 2001;
inline constexpr qint64 signature = 3001;
inline constexpr qint64 validation = 3002;
inline constexpr qint64 installation = 4005;
inline constexpr qint64 installationCanceled = 4007;
inline constexpr qint64 installationAuthorizeLater = 4008;
} // namespace updater_error

} // namespace velmor::platform
