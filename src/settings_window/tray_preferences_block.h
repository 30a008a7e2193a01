#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class TrayApp;
class TrayLayoutSettings;
class TrayModel;

// The organizer's "Preferences" disclosure: launch at login with the note that explains it, and
// the app's appearance. (The reveal, bar-below and layout preferences inside it have presenters
// of their own.)
class TrayPreferencesBlock final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer's presenter")
    Q_PROPERTY(QString preferencesTitle READ preferencesTitle CONSTANT)
    Q_PROPERTY(bool shown READ shown WRITE setShown NOTIFY shownChanged)
    Q_PROPERTY(QString launchAtLoginTitle READ launchAtLoginTitle CONSTANT)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool launchAtLoginAvailable READ launchAtLoginAvailable CONSTANT)
    Q_PROPERTY(QString launchAtLoginNote READ launchAtLoginNote NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)

public:
    static constexpr const char* preferencesText = "Preferences";
    static constexpr const char* launchAtLoginText = "Launch at login";
    static constexpr const char* launchAtLoginFailure =
        "Could not change launch at login. Check System Settings.";
    static constexpr const char* startShowsEveryIconText =
        "Velmor Tray opens with every icon shown. Turn on “Apply grouping when Velmor Tray opens” "
        "to start with your grouping.";

    TrayPreferencesBlock(TrayApp& app, const platform::Services& services, const TrayLayoutSettings& layout,
                         QObject* parent = nullptr);
    ~TrayPreferencesBlock() override;

    QString preferencesTitle() const { return QString::fromUtf8(preferencesText); }
    // The disclosure is open.
    bool shown() const { return m_shown; }
    void setShown(bool shown);
    QString launchAtLoginTitle() const { return QString::fromUtf8(launchAtLoginText); }
    // On while the login item is registered, also while it waits for the user's approval, as the
    // "Startup" section of the update settings shows it.
    bool launchAtLogin() const { return m_launchAtLogin; }
    // False where this copy of the app may not launch at login (a review build, a copy outside
    // the Applications folders): the switch is disabled and the note says why.
    bool launchAtLoginAvailable() const { return !m_launchAtLoginUnavailable; }
    // Why the switch cannot be used, else the approval the system waits for, else what a start
    // shows when grouping does not come back with it, else empty.
    QString launchAtLoginNote() const;
    QString appearance() const;
    void setAppearance(const QString& appearance);

    Q_INVOKABLE void setLaunchAtLogin(bool on);
    // Reads the login item again (the window came back from System Settings).
    Q_INVOKABLE void refreshLaunchAtLogin();

    // The model changed: the note depends on the mode.
    void update();

Q_SIGNALS:
    void shownChanged();
    void launchAtLoginChanged();
    void appearanceChanged();

private:
    void reportLaunchAtLoginFailure();
    bool loginItemRegistered() const;
    bool perApp() const;

    TrayApp& m_app;
    const platform::Services& m_services;
    const TrayLayoutSettings& m_layout;
    QPointer<TrayModel> m_model;
    bool m_shown = false;
    bool m_launchAtLogin = false;
    bool m_perApp = false;
    std::optional<QString> m_launchAtLoginUnavailable;
    quint64 m_loginItemsObserver = 0;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor
