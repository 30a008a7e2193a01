#pragma once

#include "suite_ui/launch_at_login_controller.h"

#include <QObject>
#include <QString>

namespace velmor {

// The "Startup" section of a settings window: the launch-at-login toggle, one explanatory line
// (why the option is unavailable, the approval the system still needs, or the host's own
// detail), the progress line while a change is under way and the last failure. It owns its
// controller, and reads the status again whenever its window becomes active, so an approval given
// in the system's settings shows when the user comes back.
class LaunchAtLoginSettings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sectionTitle READ sectionTitle CONSTANT)
    Q_PROPERTY(QString toggleTitle READ toggleTitle CONSTANT)
    Q_PROPERTY(QString toggleHint READ toggleHint CONSTANT)
    Q_PROPERTY(bool toggleOn READ toggleOn NOTIFY changed)
    Q_PROPERTY(bool toggleEnabled READ toggleEnabled NOTIFY changed)
    Q_PROPERTY(QString explanation READ explanation NOTIFY changed)
    Q_PROPERTY(bool showsApprovalButton READ showsApprovalButton NOTIFY changed)
    Q_PROPERTY(QString approvalButtonTitle READ approvalButtonTitle CONSTANT)
    Q_PROPERTY(bool showsProgress READ showsProgress NOTIFY changed)
    Q_PROPERTY(QString progressText READ progressText CONSTANT)
    Q_PROPERTY(QString errorText READ errorText NOTIFY changed)
    Q_PROPERTY(bool showsError READ showsError NOTIFY changed)
    Q_PROPERTY(bool sceneActive READ sceneActive WRITE setSceneActive NOTIFY sceneActiveChanged)

public:
    static constexpr auto sectionHeading = "Startup";
    static constexpr auto toggleLabel = "Launch at login";
    static constexpr auto toggleAccessibilityHint = "Open this app automatically when you log in to your Mac";
    static constexpr auto approvalText =
        "Approval is needed in System Settings before this app can launch at login.";
    static constexpr auto approvalButton = "Open Login Items Settings";
    static constexpr auto progressLabel = "Updating startup preference…";

    // `detail` is the host's own explanation, shown while nothing more pressing needs saying.
    LaunchAtLoginSettings(platform::LoginItems& loginItems, const platform::MainBundle& bundle,
                          const LaunchAtLoginController::Locations& locations, platform::Scheduler& scheduler,
                          const QString& detail, QObject* parent = nullptr);

    LaunchAtLoginController& controller() { return m_controller; }

    QString sectionTitle() const { return QString::fromUtf8(sectionHeading); }
    QString toggleTitle() const { return QString::fromUtf8(toggleLabel); }
    QString toggleHint() const { return QString::fromUtf8(toggleAccessibilityHint); }
    bool toggleOn() const { return m_controller.isRegistered(); }
    bool toggleEnabled() const;
    QString explanation() const;
    bool showsApprovalButton() const;
    QString approvalButtonTitle() const { return QString::fromUtf8(approvalButton); }
    bool showsProgress() const { return m_controller.isUpdating(); }
    QString progressText() const { return QString::fromUtf8(progressLabel); }
    QString errorText() const { return m_controller.errorText(); }
    bool showsError() const { return m_controller.errorMessage().has_value(); }
    bool sceneActive() const { return m_sceneActive; }
    // Bound to the window's active state; becoming active reads the status again.
    void setSceneActive(bool active);

    Q_INVOKABLE void toggle(bool on);
    Q_INVOKABLE void openLoginItemsSettings();

Q_SIGNALS:
    void changed();
    void sceneActiveChanged();

private:
    LaunchAtLoginController m_controller;
    QString m_detail;
    bool m_sceneActive = false;
};

} // namespace velmor
