#pragma once

#include "platform/login_items.h"

#include <QObject>
#include <QString>

#include <optional>

namespace velmor::platform {
class Host;
class MainBundle;
class Scheduler;
} // namespace velmor::platform

namespace velmor {

// Registers the app to open at login through the system's login-item service, and decides whether
// this copy of the app may offer that at all: review builds may not, and neither may a copy that
// runs from outside an Applications folder (it would be registered at a place it will not stay).
class LaunchAtLoginController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRegistered READ isRegistered NOTIFY statusChanged)
    Q_PROPERTY(bool requiresApproval READ requiresApproval NOTIFY statusChanged)
    Q_PROPERTY(bool isUpdating READ isUpdating NOTIFY updatingChanged)
    Q_PROPERTY(QString errorMessage READ errorText NOTIFY errorMessageChanged)
    Q_PROPERTY(QString unavailableReason READ unavailableText CONSTANT)

public:
    static constexpr auto reviewReason = "Launch at login is unavailable in review builds.";
    static constexpr auto notInstalledReason =
        "Move this app to Applications and reopen it to enable launch at login.";
    static constexpr auto failurePrefix = "Could not change launch at login: ";
    static constexpr auto reviewIdentifierSuffix = ".review";
    static constexpr auto reviewIdentifierPart = ".review.";
    static constexpr auto reviewInfoKeyPrefix = "VelmorReview";
    static constexpr auto bundleExtension = "app";
    static constexpr auto systemApplicationsFolder = "/Applications";
    static constexpr auto applicationsFolderName = "Applications";

    // The folders an installed copy lives in: the system's and the user's own Applications folder.
    struct Locations {
        QString systemApplications;
        QString userApplications;

        static Locations of(const platform::Host& host);
    };

    LaunchAtLoginController(platform::LoginItems& loginItems, const platform::MainBundle& bundle,
                            const Locations& locations, platform::Scheduler& scheduler,
                            QObject* parent = nullptr);
    ~LaunchAtLoginController() override;

    // Why this copy cannot launch at login; absent when it can.
    static std::optional<QString> unavailableReasonFor(const platform::MainBundle& bundle,
                                                       const Locations& locations);
    static bool isReviewBuild(const platform::MainBundle& bundle);
    // `bundlePath` (a path or a file URL) names an app bundle inside one of the locations, once
    // symbolic links are resolved and "." and ".." are taken out of both sides.
    static bool isInstalled(const QString& bundlePath, const Locations& locations);

    platform::LoginItemStatus status() const { return m_status; }
    bool isRegistered() const;
    bool requiresApproval() const { return m_status == platform::LoginItemStatus::RequiresApproval; }
    bool isUpdating() const { return m_updating; }
    const std::optional<QString>& errorMessage() const { return m_errorMessage; }
    const std::optional<QString>& unavailableReason() const { return m_unavailableReason; }
    QString errorText() const { return m_errorMessage.value_or(QString()); }
    QString unavailableText() const { return m_unavailableReason.value_or(QString()); }

    // Registers or unregisters the app; does nothing while unavailable, while a change is under
    // way, or when the service already is in the wanted state.
    Q_INVOKABLE void setEnabled(bool enabled);
    // Reads the status again (the user may have approved or removed the item in the system's
    // settings meanwhile).
    Q_INVOKABLE void refreshStatus();
    Q_INVOKABLE void openSystemSettings();

Q_SIGNALS:
    void statusChanged();
    void updatingChanged();
    void errorMessageChanged();

private:
    void finishUpdate(const std::optional<QString>& error);
    void setErrorMessage(std::optional<QString> message);

    platform::LoginItems& m_loginItems;
    platform::Scheduler& m_scheduler;
    std::optional<QString> m_unavailableReason;
    platform::LoginItemStatus m_status = platform::LoginItemStatus::NotRegistered;
    bool m_updating = false;
    std::optional<QString> m_errorMessage;
    platform::LoginItems::ObserverId m_observer = 0;
};

} // namespace velmor
