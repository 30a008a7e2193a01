#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace velmor {
namespace platform {
struct Services;
}

class TrayModel;

// The organizer's status and actions: the header under the title, the setup card while the menu
// bar is not connected, the grouping's status line, the order menu, "Reveal all" with the primary
// action beside it, and the footer's quit. Every action goes through the model's hooks.
class TrayStatusBlock final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer's presenter")
    Q_PROPERTY(QString tagline READ tagline CONSTANT)
    Q_PROPERTY(QString brandIconSource READ brandIconSource CONSTANT)
    Q_PROPERTY(QString helpLabel READ helpLabel CONSTANT)
    Q_PROPERTY(QString permissionsTitle READ permissionsTitle CONSTANT)
    Q_PROPERTY(bool showsSetupCard READ showsSetupCard NOTIFY permissionChanged)
    Q_PROPERTY(QString setupHeadline READ setupHeadline CONSTANT)
    Q_PROPERTY(QString setupText READ setupText CONSTANT)
    Q_PROPERTY(QString setupButtonTitle READ setupButtonTitle CONSTANT)
    Q_PROPERTY(bool groupingActive READ groupingActive NOTIFY controllerChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY controllerChanged)
    Q_PROPERTY(QString orderTitle READ orderTitle CONSTANT)
    Q_PROPERTY(QString organizeTitle READ organizeTitle CONSTANT)
    Q_PROPERTY(QString restoreTitle READ restoreTitle CONSTANT)
    Q_PROPERTY(QString aboutOrderTitle READ aboutOrderTitle CONSTANT)
    Q_PROPERTY(bool orderEnabled READ orderEnabled NOTIFY controllerChanged)
    Q_PROPERTY(QString revealTitle READ revealTitle CONSTANT)
    Q_PROPERTY(bool revealEnabled READ revealEnabled NOTIFY controllerChanged)
    Q_PROPERTY(QString primaryTitle READ primaryTitle NOTIFY controllerChanged)
    Q_PROPERTY(bool primaryEnabled READ primaryEnabled NOTIFY controllerChanged)
    Q_PROPERTY(QString footerText READ footerText CONSTANT)
    Q_PROPERTY(QString quitTitle READ quitTitle CONSTANT)

public:
    static constexpr const char* taglineText = "Your menu bar, organized.";
    static constexpr const char* permissionsText = "Permissions…";
    static constexpr const char* setupHeadlineText = "Connect your menu bar";
    static constexpr const char* setupBodyText =
        "Allow Accessibility to load app icons. Setup shows you exactly which app to add.";
    static constexpr const char* setupButtonText = "Set up permissions…";
    static constexpr const char* applyingStatus = "Applying…";
    static constexpr const char* activeStatus = "Grouping active";
    static constexpr const char* inactiveStatus = "Changes saved · Grouping off";
    static constexpr const char* orderText = "Order";
    static constexpr const char* organizeText = "Organize automatically";
    static constexpr const char* restoreText = "Restore previous order";
    static constexpr const char* aboutOrderText = "About menu bar order…";
    static constexpr const char* revealText = "Reveal all";
    static constexpr const char* applyText = "Apply grouping";
    static constexpr const char* collapseExtrasText = "Collapse extras";
    static constexpr const char* expandExtrasText = "Expand extras";
    static constexpr const char* footerLabel = "Only on this Mac";
    static constexpr const char* quitText = "Quit Tray";

    TrayStatusBlock(TrayModel& model, const platform::Services& services, QObject* parent = nullptr);

    QString tagline() const { return QString::fromUtf8(taglineText); }
    // Empty when the bundle has no readable icon: the fallback is drawn then.
    QString brandIconSource() const { return m_brandIconSource.toString(); }
    QString helpLabel() const;
    QString permissionsTitle() const { return QString::fromUtf8(permissionsText); }
    bool showsSetupCard() const;
    QString setupHeadline() const { return QString::fromUtf8(setupHeadlineText); }
    QString setupText() const { return QString::fromUtf8(setupBodyText); }
    QString setupButtonTitle() const { return QString::fromUtf8(setupButtonText); }
    bool groupingActive() const;
    QString statusText() const;
    QString orderTitle() const { return QString::fromUtf8(orderText); }
    QString organizeTitle() const { return QString::fromUtf8(organizeText); }
    QString restoreTitle() const { return QString::fromUtf8(restoreText); }
    QString aboutOrderTitle() const { return QString::fromUtf8(aboutOrderText); }
    bool orderEnabled() const;
    QString revealTitle() const { return QString::fromUtf8(revealText); }
    bool revealEnabled() const { return !busy(); }
    // "Apply grouping", "Collapse extras" or "Expand extras".
    QString primaryTitle() const;
    bool primaryEnabled() const { return orderEnabled(); }
    QString footerText() const { return QString::fromUtf8(footerLabel); }
    QString quitTitle() const { return QString::fromUtf8(quitText); }

    Q_INVOKABLE void organizeAutomatically();
    Q_INVOKABLE void restorePreviousOrder();
    Q_INVOKABLE void revealAll();
    Q_INVOKABLE void primaryAction();
    Q_INVOKABLE void quit();

    // The model changed: signals what this block shows differently.
    void update();

Q_SIGNALS:
    void permissionChanged();
    void controllerChanged();

private:
    struct Shown {
        bool showsSetupCard = false;
        bool groupingActive = false;
        QString statusText;
        bool orderEnabled = false;
        QString primaryTitle;
        bool busy = false;

        bool sameController(const Shown& other) const
        {
            return groupingActive == other.groupingActive && statusText == other.statusText &&
                   orderEnabled == other.orderEnabled && primaryTitle == other.primaryTitle &&
                   busy == other.busy;
        }
    };
    Shown current() const;
    bool busy() const;

    QPointer<TrayModel> m_model;
    const platform::Services& m_services;
    QUrl m_brandIconSource;
    Shown m_shown;
};

} // namespace velmor
