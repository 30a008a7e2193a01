#pragma once

#include "suite_ui/feedback_menu_items.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

namespace velmor::platform {
class MainBundle;
class Workspace;
} // namespace velmor::platform

namespace velmor {

class VelmorSignals;

// The settings window's footer: the two feedback entries, the two consent checkboxes and the
// popover that explains what is shared. Without a telemetry configuration both checkboxes are
// disabled but still show the stored choices; the city one also while usage is off.
class SupportSettingsFooter final : public QObject {
    Q_OBJECT
    Q_PROPERTY(velmor::FeedbackMenuItems* feedbackItems READ feedbackItems CONSTANT)
    Q_PROPERTY(QString usageTitle READ usageTitle CONSTANT)
    Q_PROPERTY(bool usageChecked READ usageChecked NOTIFY consentChanged)
    Q_PROPERTY(bool usageEnabled READ usageEnabled CONSTANT)
    Q_PROPERTY(QString cityTitle READ cityTitle CONSTANT)
    Q_PROPERTY(bool cityChecked READ cityChecked NOTIFY consentChanged)
    Q_PROPERTY(bool cityEnabled READ cityEnabled NOTIFY consentChanged)
    Q_PROPERTY(QString infoSymbol READ infoSymbol CONSTANT)
    Q_PROPERTY(QString infoAccessibleName READ infoAccessibleName CONSTANT)
    Q_PROPERTY(bool privacyDetails READ privacyDetails WRITE setPrivacyDetails NOTIFY privacyDetailsChanged)
    Q_PROPERTY(QString privacyHeadline READ privacyHeadline CONSTANT)
    Q_PROPERTY(QString privacyDefaults READ privacyDefaults CONSTANT)
    Q_PROPERTY(QString privacyUsage READ privacyUsage CONSTANT)
    Q_PROPERTY(QString privacyCity READ privacyCity CONSTANT)
    Q_PROPERTY(QString privacyPolicyTitle READ privacyPolicyTitle CONSTANT)
    Q_PROPERTY(bool privacyPolicyAvailable READ privacyPolicyAvailable CONSTANT)

public:
    static constexpr auto privacyPolicyInfoKey = "VelmorPrivacyPolicyURL";
    static constexpr auto usageText = "Share usage statistics";
    static constexpr auto cityText = "Include approximate city";
    static constexpr auto infoSymbolName = "info.circle";
    static constexpr auto infoLabel = "About usage statistics and privacy";
    static constexpr auto headlineText = "Usage & privacy";
    static constexpr auto defaultsText =
        "Usage statistics and approximate city are enabled by default. Your choices are saved independently "
        "in each app and preserved across updates.";
    static constexpr auto usageDetailsText =
        "Usage includes feature names, app and macOS versions, architecture, memory class and a random "
        "installation identifier. No account, files, audio, text, clipboard or terminal content is "
        "collected. "
        "Turning it off clears pending events and resets the identifier.";
    static constexpr auto cityDetailsText =
        "City and country are estimated from the network connection, without GPS. Reports are sent only when "
        "you choose Send and do not include the installation identifier or city.";
    static constexpr auto privacyPolicyText = "Privacy policy";

    SupportSettingsFooter(VelmorSignals* hub, const platform::MainBundle& bundle,
                          platform::Workspace& workspace, QObject* parent = nullptr);

    // The build's privacy page: an "https" address with a host; absent otherwise.
    static std::optional<QUrl> privacyPolicyUrl(const platform::MainBundle& bundle);

    FeedbackMenuItems* feedbackItems() { return &m_feedbackItems; }
    QString usageTitle() const { return QString::fromUtf8(usageText); }
    bool usageChecked() const;
    bool usageEnabled() const;
    QString cityTitle() const { return QString::fromUtf8(cityText); }
    bool cityChecked() const;
    bool cityEnabled() const;
    QString infoSymbol() const { return QString::fromUtf8(infoSymbolName); }
    QString infoAccessibleName() const { return QString::fromUtf8(infoLabel); }
    bool privacyDetails() const { return m_privacyDetails; }
    void setPrivacyDetails(bool shown);
    QString privacyHeadline() const { return QString::fromUtf8(headlineText); }
    QString privacyDefaults() const { return QString::fromUtf8(defaultsText); }
    QString privacyUsage() const { return QString::fromUtf8(usageDetailsText); }
    QString privacyCity() const { return QString::fromUtf8(cityDetailsText); }
    QString privacyPolicyTitle() const { return QString::fromUtf8(privacyPolicyText); }
    bool privacyPolicyAvailable() const { return m_privacyPolicy.has_value(); }

    // The checkboxes; a disabled one ignores the click.
    Q_INVOKABLE void setUsageChecked(bool checked);
    Q_INVOKABLE void setCityChecked(bool checked);
    Q_INVOKABLE void togglePrivacyDetails() { setPrivacyDetails(!m_privacyDetails); }
    Q_INVOKABLE void openPrivacyPolicy();

Q_SIGNALS:
    void consentChanged();
    void privacyDetailsChanged();

private:
    QPointer<VelmorSignals> m_hub;
    platform::Workspace& m_workspace;
    FeedbackMenuItems m_feedbackItems;
    std::optional<QUrl> m_privacyPolicy;
    bool m_privacyDetails = false;
};

} // namespace velmor
