#pragma once

#include "platform/task_handle.h"
#include "platform/updater_framework.h"
#include "simulated_mac/updater/appcast_reader.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;

namespace velmor::simulated_mac {

class SimulatedUpdaterFramework;

// One standard updater controller of the simulated framework: the update cycle (feed, offer,
// download, verification, installation), the settings, and the scheduled checks. Everything but
// the reading of the feed runs on the main thread, driven by network replies, the scheduler and
// the answers to its dialogs. Nothing of a failed cycle stays in the cache folder.
class SimulatedUpdater final : public QObject, public platform::UpdaterController {
    Q_OBJECT

public:
    // The feed must have arrived within this time.
    static constexpr double feedDeadlineSeconds = 60;
    // A transfer may stall this long before it fails.
    static constexpr int idleTimeoutMilliseconds = 30000;
    // A trickle passes any idle time-out, so a download must also be done by a deadline that
    // grows with the archive's stated length at this pace, and never comes sooner than the floor.
    static constexpr double minimumBytesPerSecond = 16 * 1024;
    static constexpr double downloadDeadlineFloorSeconds = 60;
    // A transfer that gets less than the pace above over one such period is stalled: the user may
    // then check again, which abandons it.
    static constexpr double stallPeriodSeconds = 10;
    static constexpr int maximumRedirects = 5;
    static constexpr auto downloadFileName = "update.download";

    // Dialog texts; %1 is the app's name, %2 and %3 versions.
    static constexpr auto foundTitle = "A new version of %1 is available";
    static constexpr auto foundText = "%1 %2 is available; you have %3. Would you like to install it now?";
    static constexpr auto readyTitle = "%1 %2 is ready to install";
    static constexpr auto readyText =
        "The update has been downloaded and verified. %1 quits, installs it and opens again.";
    static constexpr auto upToDateTitle = "You're up to date";
    static constexpr auto upToDateText = "%1 %2 is the newest version available.";
    static constexpr auto errorTitle = "Update failed";
    static constexpr auto installChoice = "Install Update";
    static constexpr auto installAndRelaunchChoice = "Install and Relaunch";
    static constexpr auto laterChoice = "Later";
    static constexpr auto okChoice = "OK";

    // Error sentences.
    static constexpr auto missingFeedError = "The update feed address is missing or does not use HTTPS.";
    static constexpr auto missingKeyError = "The update signing key is missing or not valid.";
    static constexpr auto feedFailedError = "The update information could not be downloaded.";
    static constexpr auto feedTooLargeError = "The update information is too large.";
    static constexpr auto feedTimedOutError = "The update information did not arrive in time.";
    static constexpr auto downloadTimedOutError = "The update did not download in time.";
    static constexpr auto noUpdateError = "You already have the newest version.";
    static constexpr auto cacheError = "The update could not be saved on this Mac.";
    static constexpr auto downloadError = "The update could not be downloaded.";
    static constexpr auto lengthError = "The downloaded update does not have the size its feed states.";
    static constexpr auto signatureError = "The update's signature is not valid, so it was not installed.";
    static constexpr auto cancelledError = "The update installation was cancelled.";
    static constexpr auto installError = "The update could not be installed.";

    SimulatedUpdater(SimulatedUpdaterFramework& framework, platform::UpdaterDelegate& delegate);
    ~SimulatedUpdater() override;

    bool sendsSystemProfile() const override { return m_sendsSystemProfile; }
    void setSendsSystemProfile(bool sends) override { m_sendsSystemProfile = sends; }
    bool canCheckForUpdates() const override { return m_canCheck; }
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool checks) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool downloads) override;
    ObserverId observe(platform::UpdaterProperty property, std::function<void(bool value)> handler) override;
    void removeObserver(ObserverId observer) override;
    std::optional<platform::UpdaterError> start() override;
    void checkForUpdates() override;

    // Where a download is written while it is checked.
    QString downloadPath() const;
    // How long the archive of `contentLength` bytes may take to arrive.
    static double downloadDeadlineSeconds(qint64 contentLength);

private:
    enum class Phase { Idle, Checking, Offering, Downloading, ReadyToInstall, Postponed, Installing };
    // Why the updater itself ended a transfer (an abort and a time-out look alike to the network).
    enum class Stop { None, TooLarge, TimedOut, WrongLength, DiskFull };

    void beginCycle(platform::UpdateCheck check);
    void feedFinished();
    void feedRead(AppcastReader::Result result);
    void offer();
    void download();
    void downloadReceived();
    void downloadFinished();
    void offerReady();
    void proceedToInstall();
    void install();
    void fail(qint64 code, const QString& description);
    void endCycle();
    void discardTransfer();
    void watchForStall(const std::function<qint64()>& progress);
    void scheduleAutomaticCheck();
    void automaticCheck();
    QNetworkReply* get(const QUrl& url, bool exactBytes = false);
    void setCanCheck(bool canCheck);
    void notify(platform::UpdaterProperty property, bool value);
    bool defaultsFlag(const char* key) const;
    QString appName() const;
    QString runningDisplayVersion() const;
    double checkIntervalSeconds() const;

    SimulatedUpdaterFramework& m_framework;
    platform::UpdaterDelegate& m_delegate;
    bool m_started = false;
    bool m_canCheck = false;
    bool m_sendsSystemProfile = false;
    QMap<ObserverId, std::pair<platform::UpdaterProperty, std::function<void(bool)>>> m_observers;
    ObserverId m_lastObserver = 0;

    Phase m_phase = Phase::Idle;
    platform::UpdateCheck m_check = platform::UpdateCheck::Updates;
    quint64 m_cycle = 0;
    std::optional<platform::UpdateItem> m_item;
    QUrl m_feedURL;
    QByteArray m_publicKey;

    std::unique_ptr<QNetworkAccessManager> m_network;
    QPointer<QNetworkReply> m_reply;
    Stop m_stop = Stop::None;
    QByteArray m_feed;
    AppcastReader m_reader;
    bool m_stalled = false;
    platform::TaskHandle m_stallWatch;
    platform::TaskHandle m_downloadDeadline;
    std::unique_ptr<QFile> m_download;
    qint64 m_received = 0;
    platform::TaskHandle m_feedDeadline;
    platform::TaskHandle m_scheduledCheck;
};

} // namespace velmor::simulated_mac
