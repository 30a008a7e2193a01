#pragma once

#include "platform/task_handle.h"
#include "platform/updater_framework.h"
#include "telemetry/velmor_event.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velmor {
namespace platform {
struct Services;
}

class UpdateMenuItem;
class VelmorSignals;

// The suite's update controller. It decides once whether this build may update itself, mirrors the
// update framework's state for the update views, offers the update commands, reports update events
// through the signals hub, and holds a downloaded update back while the host app says it is busy:
// it asks again once a second and installs as soon as the app is idle, unless the user resolves the
// work or closes the sessions first. Every held-back installation has a generation; work that
// belongs to an older one (a waiting task, a confirmation answered late) ends without effect.
class AppUpdates final : public QObject, public platform::UpdaterDelegate {
    Q_OBJECT
    Q_PROPERTY(bool available READ available NOTIFY availableChanged)
    Q_PROPERTY(bool canCheck READ canCheck NOTIFY canCheckChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool automaticChecks READ automaticChecks NOTIFY automaticChecksChanged)
    Q_PROPERTY(bool automaticDownloads READ automaticDownloads NOTIFY automaticDownloadsChanged)
    Q_PROPERTY(bool hasPendingInstallation READ hasPendingInstallation NOTIFY hasPendingInstallationChanged)

public:
    static constexpr auto reviewLibraryInfoKey = "VelmorReviewLibrary";
    static constexpr auto reviewIdentifierSuffix = ".review";
    static constexpr auto feedURLInfoKey = "SUFeedURL";
    static constexpr auto publicKeyInfoKey = "SUPublicEDKey";
    static constexpr auto feedScheme = "https";
    static constexpr int publicKeyLength = 32;

    static constexpr auto notPublishedMessage = "Updates are not published for this build yet.";
    static constexpr auto reviewBuildMessage = "Updates are disabled in review builds.";
    static constexpr auto availableMessage =
        "Updates use the internet. App content is never included in update checks.";
    static constexpr auto couldNotStartPrefix = "Updates could not start: ";
    static constexpr auto noFrameworkReason = "No update framework is available on this system.";
    static constexpr auto waitingForSessionsMessage =
        "Update ready. Waiting for open terminal and SSH sessions to close. An open connection may be idle.";
    static constexpr auto waitingForWorkMessage = "Update ready. Waiting for active work to finish.";
    static constexpr auto installingMessage = "Installing update…";
    static constexpr auto upToDateMessage = "You're up to date.";
    static constexpr auto postponedMessage = "Update installation postponed. You can check again when ready.";
    static constexpr auto notInstalledMessage =
        "The update was not installed. You can check for updates again.";

    static constexpr auto checkTitle = "Check for Updates…";
    static constexpr auto preferencesTitle = "Update Settings…";
    static constexpr auto closeSessionsTitle = "Close Sessions and Update…";

    // How often a held-back installation asks whether the app is still busy.
    static constexpr double waitIntervalSeconds = 1.0;

    // The one "Update Settings" window, as the window system is asked to create it.
    struct SettingsWindowStyle {
        static constexpr auto title = "Update Settings";
        static constexpr auto kind = "updates";
        static constexpr int width = 520;
        static constexpr int height = 540;
        static constexpr bool closable = true;
        static constexpr bool centred = true;
        // Closing only orders the window out; it is kept for the next showing.
        static constexpr bool releasedWhenClosed = false;
    };

    // A window the window system created for the settings; it lives as long as this object.
    class SettingsWindow {
    public:
        virtual ~SettingsWindow() = default;
        virtual void makeKeyAndOrderFront() = 0;
    };
    // Creates the settings window (content: the update settings of `updates`, not busy). Filled in
    // by the composition root; without it the settings have no window.
    using SettingsWindowFactory = std::function<std::unique_ptr<SettingsWindow>(AppUpdates& updates)>;

    // `signals` absent means the process's shared hub.
    explicit AppUpdates(const platform::Services& services, VelmorSignals* signals = nullptr,
                        QObject* parent = nullptr);
    ~AppUpdates() override;

    // Decides once whether updates work in this build and starts the framework. `isBusy` replaces
    // the host's busy test on every call.
    void start(std::function<bool()> isBusy);
    // A user-initiated check, when one is possible.
    Q_INVOKABLE void check();
    Q_INVOKABLE void showPreferences();
    Q_INVOKABLE void setAutomaticChecks(bool checks);
    Q_INVOKABLE void setAutomaticDownloads(bool downloads);

    void setSettingsWindowFactory(SettingsWindowFactory factory)
    {
        m_settingsWindowFactory = std::move(factory);
    }

    std::unique_ptr<UpdateMenuItem> menuItem();
    std::unique_ptr<UpdateMenuItem> preferencesMenuItem();
    // Null when no pending-work action is configured. The item hides itself while nothing is held back.
    std::unique_ptr<UpdateMenuItem> pendingWorkMenuItem();
    bool validateMenuItem(const UpdateMenuItem& item) const;

    // For hosts with work that may hold an update back: the command's title, the status text while
    // waiting and the action that finishes or abandons the work.
    void configurePendingWorkAction(const QString& title, const QString& message,
                                    std::function<void()> action);
    // For hosts with live sessions: asks the user to close them; true means agreed.
    void configureSessionClosureConfirmation(std::function<bool()> confirmation);
    Q_INVOKABLE void resolvePendingWork();
    Q_INVOKABLE void closeSessionsAndInstallUpdate();
    // Whether the user approved closing sessions for this installation; reset by reading, so the
    // host closes them while quitting without asking again.
    bool consumeSessionClosureApproval();

    bool available() const { return m_available; }
    bool canCheck() const { return m_canCheck; }
    QString message() const { return m_message; }
    bool automaticChecks() const { return m_automaticChecks; }
    bool automaticDownloads() const { return m_automaticDownloads; }
    bool hasPendingInstallation() const { return m_hasPendingInstallation; }
    // The configured title while an installation is held back.
    std::optional<QString> pendingWorkActionTitle() const;
    bool canCloseSessionsForUpdate() const;
    bool hasSessionClosureConfirmation() const { return static_cast<bool>(m_sessionClosureConfirmation); }
    bool hasPendingWorkTitle() const { return m_workActionTitle.has_value(); }
    bool confirmingSessionClosure() const { return m_confirmingSessionClosure; }

    // Whether the text is a feed address updates may use: scheme exactly "https", with a host.
    static bool isUsableFeedURL(const QString& text);
    // The raw 32-byte Ed25519 key of standard Base64 text; absent for anything else.
    static std::optional<QByteArray> decodePublicKey(const QString& text);

    // The framework's delegate.
    void didFindValidUpdate(const platform::UpdateItem& item) override;
    void didDownloadUpdate(const platform::UpdateItem& item) override;
    void willInstallUpdate(const platform::UpdateItem& item) override;
    void didAbortWithError(const platform::UpdaterError& error) override;
    void didFinishUpdateCycle(platform::UpdateCheck check,
                              const std::optional<platform::UpdaterError>& error) override;
    // Holds the installation back while the host is busy (always before `start`).
    bool shouldPostponeRelaunchForUpdate(const platform::UpdateItem& item,
                                         std::function<void()> install) override;
    // No system profile is ever sent.
    QStringList allowedSystemProfileKeys() override { return {}; }

Q_SIGNALS:
    void availableChanged();
    void canCheckChanged();
    void messageChanged();
    void automaticChecksChanged();
    void automaticDownloadsChanged();
    void hasPendingInstallationChanged();
    // The pending-work or session-closure configuration changed.
    void configurationChanged();
    // Any of the above: what the update views redraw on.
    void stateChanged();

private:
    bool isReviewBuild() const;
    void observeController();
    void waitForIdle(QUuid generation);
    void installHeldBack();
    void clearPendingInstallation();
    bool busy() const;
    void track(VelmorEvent event);
    void setAvailable(bool available);
    void setCanCheck(bool canCheck);
    void setMessage(const QString& message);
    void setAutomaticChecksMirror(bool checks);
    void setAutomaticDownloadsMirror(bool downloads);
    void setHasPendingInstallation(bool pending);

    const platform::Services& m_services;
    QPointer<VelmorSignals> m_signals;

    bool m_available = false;
    bool m_canCheck = false;
    QString m_message;
    bool m_automaticChecks = false;
    bool m_automaticDownloads = false;
    bool m_hasPendingInstallation = false;
    std::unique_ptr<platform::UpdaterController> m_controller;
    std::vector<platform::UpdaterController::ObserverId> m_observations;
    SettingsWindowFactory m_settingsWindowFactory;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    bool m_started = false;
    // Until the host says otherwise it counts as busy, so nothing installs before start.
    std::function<bool()> m_isBusy = [] { return true; };
    platform::TaskHandle m_pendingRelaunch;
    std::function<void()> m_pendingInstallHandler;
    QUuid m_pendingGeneration;
    std::function<bool()> m_sessionClosureConfirmation;
    bool m_confirmingSessionClosure = false;
    bool m_sessionClosureApproved = false;
    std::function<void()> m_pendingWorkAction;
    std::optional<QString> m_workActionTitle;
    std::optional<QString> m_workWaitingMessage;
};

} // namespace velmor
