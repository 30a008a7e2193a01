#pragma once

#include "settings_window/tray_access_guide_presenter.h"
#include "settings_window/tray_below_bar_settings.h"
#include "settings_window/tray_group_editor.h"
#include "settings_window/tray_layout_settings.h"
#include "settings_window/tray_organizer_areas.h"
#include "settings_window/tray_reveal_settings.h"
#include "tray/grouped_app.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

struct GroupedApp;
class TrayApp;
class TrayModel;

// The organizer window's decisions: what each block shows and whether it is enabled, the areas
// and their cards (TrayOrganizerAreas), whether a drop is taken, the move actions, the
// launch-at-login toggle, and the sheets and popovers that are open. It follows every change of
// the tray model; everything lasting goes through the model or the hooks the delegate installed.
class TraySettingsPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The app makes one for its settings window")
    Q_PROPERTY(QString title READ title CONSTANT)
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
    Q_PROPERTY(QString warningText READ warningText NOTIFY warningChanged)
    Q_PROPERTY(bool showsAccessSetup READ showsAccessSetup NOTIFY warningChanged)
    Q_PROPERTY(QString accessSetupTitle READ accessSetupTitle CONSTANT)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(QString appsTitle READ appsTitle CONSTANT)
    Q_PROPERTY(QString appsInfoLabel READ appsInfoLabel CONSTANT)
    Q_PROPERTY(QString appsHint READ appsHint NOTIFY modeChanged)
    Q_PROPERTY(QString refreshTitle READ refreshTitle CONSTANT)
    Q_PROPERTY(bool perApp READ perApp NOTIFY modeChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY controllerChanged)
    Q_PROPERTY(double cardOpacity READ cardOpacity NOTIFY controllerChanged)
    // The areas and their cards as list models (rows in TrayOrganizerAreas).
    // (Typed QObject: QML's tools know no item model type in Qt 6.4; a Repeater takes either.)
    Q_PROPERTY(QObject* sectionAreas READ sectionAreas CONSTANT)
    Q_PROPERTY(QObject* groupAreas READ groupAreas CONSTANT)
    Q_PROPERTY(QObject* markerAreas READ markerAreas CONSTANT)
    Q_PROPERTY(bool hasGroups READ hasGroups NOTIFY hasGroupsChanged)
    Q_PROPERTY(QString customGroupsTitle READ customGroupsTitle CONSTANT)
    Q_PROPERTY(QString addGroupTitle READ addGroupTitle CONSTANT)
    Q_PROPERTY(QString groupsNote READ groupsNote CONSTANT)
    Q_PROPERTY(QString createFirstGroupTitle READ createFirstGroupTitle CONSTANT)
    Q_PROPERTY(QString preferencesTitle READ preferencesTitle CONSTANT)
    Q_PROPERTY(
        bool showPreferences READ showPreferences WRITE setShowPreferences NOTIFY showPreferencesChanged)
    Q_PROPERTY(QString launchAtLoginTitle READ launchAtLoginTitle CONSTANT)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool launchAtLoginAvailable READ launchAtLoginAvailable CONSTANT)
    Q_PROPERTY(QString launchAtLoginNote READ launchAtLoginNote NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)
    Q_PROPERTY(QString footerText READ footerText CONSTANT)
    Q_PROPERTY(QString quitTitle READ quitTitle CONSTANT)
    Q_PROPERTY(QString helpTopic READ helpTopic WRITE setHelpTopic NOTIFY helpChanged)
    Q_PROPERTY(QString helpTitle READ helpTitle NOTIFY helpChanged)
    Q_PROPERTY(QString helpText READ helpText NOTIFY helpChanged)
    Q_PROPERTY(QString dropTarget READ dropTarget NOTIFY dropTargetChanged)
    Q_PROPERTY(velmor::TrayGroupEditor* groupEditor READ groupEditor CONSTANT)
    Q_PROPERTY(velmor::TrayAccessGuidePresenter* accessGuide READ accessGuide CONSTANT)
    Q_PROPERTY(velmor::TrayBelowBarSettings* belowBar READ belowBar CONSTANT)
    Q_PROPERTY(velmor::TrayRevealSettings* reveal READ reveal CONSTANT)
    Q_PROPERTY(velmor::TrayLayoutSettings* layout READ layout CONSTANT)
    Q_PROPERTY(QString newBadgeText READ newBadgeText CONSTANT)
    // The texts of area and card furniture that never change.
    Q_PROPERTY(QString emptyAreaText READ emptyAreaText CONSTANT)
    Q_PROPERTY(QString noItemsText READ noItemsText CONSTANT)
    Q_PROPERTY(QString editGroupTitle READ editGroupTitle CONSTANT)
    Q_PROPERTY(QString deleteGroupTitle READ deleteGroupTitle CONSTANT)
    Q_PROPERTY(QString cardHint READ cardHint CONSTANT)
    // The symbols of the window's own controls, by role: help, permissions, setup, order,
    // warning, appsInfo, refresh, addGroup, createFirstGroup, emptyArea, options, missingIcon,
    // footer, disclosure.
    Q_PROPERTY(QVariant symbols READ symbols CONSTANT)

public:
    static constexpr const char* taglineText = "Your menu bar, organized.";
    static constexpr const char* startShowsEveryIconText =
        "Velmor Tray opens with every icon shown. Turn on “Apply grouping when Velmor Tray opens” "
        "to start with your grouping.";
    static constexpr const char* helpSymbol = "questionmark.circle";
    static constexpr const char* permissionsText = "Permissions…";
    static constexpr const char* permissionsSymbol = "lock.shield";
    static constexpr const char* setupSymbol = "hand.raised.circle";
    static constexpr const char* setupHeadlineText = "Connect your menu bar";
    static constexpr const char* setupBodyText =
        "Allow Accessibility to load app icons. Setup shows you exactly which app to add.";
    static constexpr const char* setupButtonText = "Set up permissions…";
    static constexpr const char* applyingStatus = "Applying…";
    static constexpr const char* activeStatus = "Grouping active";
    static constexpr const char* inactiveStatus = "Changes saved · Grouping off";
    static constexpr const char* orderText = "Order";
    static constexpr const char* orderSymbol = "arrow.left.arrow.right";
    static constexpr const char* organizeText = "Organize automatically";
    static constexpr const char* restoreText = "Restore previous order";
    static constexpr const char* aboutOrderText = "About menu bar order…";
    static constexpr const char* revealText = "Reveal all";
    static constexpr const char* applyText = "Apply grouping";
    static constexpr const char* collapseExtrasText = "Collapse extras";
    static constexpr const char* expandExtrasText = "Expand extras";
    // The warning the controller sets at start in per-app mode begins so; it gets no row.
    static constexpr const char* reviewWarningPrefix = "Review your app groups";
    static constexpr const char* warningSymbol = "exclamationmark.triangle";
    static constexpr const char* accessSetupText = "Access setup…";
    static constexpr const char* appsText = "Menu bar apps";
    static constexpr const char* appsInfoSymbol = "info.circle";
    static constexpr const char* appsInfoText = "About app icons";
    static constexpr const char* perAppHint = "Drag an app to choose where it belongs.";
    static constexpr const char* markerHint = "Command-drag icons in the Mac menu bar to arrange them.";
    static constexpr const char* refreshText = "Refresh";
    static constexpr const char* refreshSymbol = "arrow.clockwise";
    static constexpr const char* customGroupsText = "Custom groups";
    static constexpr const char* addGroupText = "Add group";
    static constexpr const char* addGroupSymbol = "plus";
    static constexpr const char* groupsNoteText = "A separate menu bar button for each group.";
    static constexpr const char* createFirstGroupText = "Create your first group";
    static constexpr const char* createFirstGroupSymbol = "plus.circle";
    static constexpr const char* noItemsLabel = "No detected items";
    static constexpr const char* preferencesText = "Preferences";
    // Turned a quarter down while the group is open.
    static constexpr const char* disclosureSymbol = "chevron.right";
    static constexpr const char* launchAtLoginText = "Launch at login";
    static constexpr const char* launchAtLoginFailure =
        "Could not change launch at login. Check System Settings.";
    static constexpr const char* footerLabel = "Only on this Mac";
    static constexpr const char* footerSymbol = "lock.shield";
    static constexpr const char* quitText = "Quit Tray";
    static constexpr const char* emptyAreaLabel = "Drop apps here";
    static constexpr const char* emptyAreaSymbol = "square.dashed";
    static constexpr const char* optionsSymbol = "ellipsis";
    static constexpr const char* editGroupText = "Edit group…";
    static constexpr const char* deleteGroupText = "Delete group";
    static constexpr const char* cardHintText = "Drag to another group or use Move to actions";
    static constexpr const char* missingIconSymbol = "app.dashed";

    TraySettingsPresenter(TrayApp& app, const platform::Services& services, QObject* parent = nullptr);
    ~TraySettingsPresenter() override;

    QString title() const;
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
    QString primaryTitle() const;
    bool primaryEnabled() const;
    // Empty when no warning row shows.
    QString warningText() const;
    bool showsAccessSetup() const;
    QString accessSetupTitle() const { return QString::fromUtf8(accessSetupText); }
    QString message() const;
    QString appsTitle() const { return QString::fromUtf8(appsText); }
    QString appsInfoLabel() const { return QString::fromUtf8(appsInfoText); }
    QString appsHint() const;
    QString refreshTitle() const { return QString::fromUtf8(refreshText); }
    bool perApp() const;
    bool busy() const;
    double cardOpacity() const { return busy() ? 0.5 : 1.0; }

    QObject* sectionAreas() { return m_areas.sections(); }
    QObject* groupAreas() { return m_areas.groups(); }
    QObject* markerAreas() { return m_areas.markers(); }
    bool hasGroups() const { return m_published.hasGroups; }
    TrayOrganizerAreas& areas() { return m_areas; }
    const TrayOrganizerAreas& areas() const { return m_areas; }

    QString customGroupsTitle() const { return QString::fromUtf8(customGroupsText); }
    QString addGroupTitle() const { return QString::fromUtf8(addGroupText); }
    QString groupsNote() const { return QString::fromUtf8(groupsNoteText); }
    QString createFirstGroupTitle() const { return QString::fromUtf8(createFirstGroupText); }
    QString preferencesTitle() const { return QString::fromUtf8(preferencesText); }
    bool showPreferences() const { return m_showPreferences; }
    void setShowPreferences(bool shown);
    QString launchAtLoginTitle() const { return QString::fromUtf8(launchAtLoginText); }
    // On while the login item is registered, also while it waits for the user's approval, as the
    // "Startup" section of the update settings shows it.
    bool launchAtLogin() const { return m_launchAtLogin; }
    // False where this copy of the app may not launch at login (a review build, a copy outside
    // the Applications folders): the switch is disabled and the note says why.
    bool launchAtLoginAvailable() const { return !m_launchAtLoginUnavailable; }
    // Why the switch cannot be used, else the approval the system waits for, else empty.
    QString launchAtLoginNote() const;
    QString appearance() const;
    void setAppearance(const QString& appearance);
    QString footerText() const { return QString::fromUtf8(footerLabel); }
    QString quitTitle() const { return QString::fromUtf8(quitText); }
    QString helpTopic() const { return m_helpTopic; }
    // A raw topic name opens its popover; anything else closes it.
    void setHelpTopic(const QString& topic);
    QString helpTitle() const;
    QString helpText() const;
    QString dropTarget() const { return m_dropTarget; }
    TrayGroupEditor* groupEditor() { return &m_groupEditor; }
    TrayAccessGuidePresenter* accessGuide() { return &m_accessGuide; }
    TrayBelowBarSettings* belowBar() { return &m_belowBar; }
    TrayLayoutSettings* layout() { return &m_layout; }
    QString newBadgeText() const { return QString::fromUtf8(GroupedApp::newBadge); }
    TrayRevealSettings* reveal() { return &m_reveal; }
    QString emptyAreaText() const { return QString::fromUtf8(emptyAreaLabel); }
    QString noItemsText() const { return QString::fromUtf8(noItemsLabel); }
    QString editGroupTitle() const { return QString::fromUtf8(editGroupText); }
    QString deleteGroupTitle() const { return QString::fromUtf8(deleteGroupText); }
    QString cardHint() const { return QString::fromUtf8(cardHintText); }
    static QVariant symbols();

    // The strings a drop carries: one per dropped URL, else the text when there is one.
    static QStringList droppedStrings(const QList<QUrl>& urls, bool hasText, const QString& text);

    Q_INVOKABLE void refresh();
    Q_INVOKABLE void organizeAutomatically();
    Q_INVOKABLE void restorePreviousOrder();
    Q_INVOKABLE void revealAll();
    // "Apply grouping", "Collapse extras" or "Expand extras".
    Q_INVOKABLE void primaryAction();
    Q_INVOKABLE void openAccessGuide();
    Q_INVOKABLE void openNewGroup();
    Q_INVOKABLE void editGroup(const QString& groupID);
    Q_INVOKABLE void toggleGroup(const QString& groupID);
    Q_INVOKABLE void deleteGroup(const QString& groupID);
    // A move action: does nothing while busy or when the app is there already.
    Q_INVOKABLE void move(const QString& bundleID, const QString& destination);
    // A drag entered or left the area with that destination.
    Q_INVOKABLE void dragEntered(const QString& destination);
    Q_INVOKABLE void dragExited(const QString& destination);
    // A drop on the area with that destination; true when it is taken (also when it changes
    // nothing because the app is there already).
    Q_INVOKABLE bool drop(const QString& destination, const QList<QUrl>& urls, bool hasText,
                          const QString& text);
    Q_INVOKABLE void setLaunchAtLogin(bool on);
    // Reads the login item again (the window came back from System Settings).
    Q_INVOKABLE void refreshLaunchAtLogin();
    Q_INVOKABLE void quit();

    // The window came on screen: it shows as if built anew (no disclosure, popover or sheet
    // open) and reads the login item.
    void windowAppeared();

Q_SIGNALS:
    // Each group of properties that change together has its own signal, sent only when one of
    // them really changed, so a binding is evaluated again only for what it shows.
    void permissionChanged();
    void controllerChanged();
    void warningChanged();
    void messageChanged();
    void modeChanged();
    void hasGroupsChanged();
    void showPreferencesChanged();
    void launchAtLoginChanged();
    void appearanceChanged();
    void helpChanged();
    void dropTargetChanged();

private:
    // What the model-derived properties last said, to tell which of them changed.
    struct Published {
        bool showsSetupCard = false;
        bool groupingActive = false;
        QString statusText;
        bool orderEnabled = false;
        QString primaryTitle;
        bool busy = false;
        QString warningText;
        QString message;
        bool perApp = false;
        bool hasGroups = false;

        bool sameController(const Published& other) const
        {
            return groupingActive == other.groupingActive && statusText == other.statusText &&
                   orderEnabled == other.orderEnabled && primaryTitle == other.primaryTitle &&
                   busy == other.busy;
        }
    };

    // Brings the areas and every model-derived property up to date and signals what changed.
    void follow();
    Published current() const;
    const GroupedApp* app(const QString& bundleID) const;
    void setDropTarget(const QString& destination);
    void reportLaunchAtLoginFailure();
    bool loginItemRegistered() const;

    TrayApp& m_app;
    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    QUrl m_brandIconSource;
    TrayGroupEditor m_groupEditor;
    TrayAccessGuidePresenter m_accessGuide;
    TrayBelowBarSettings m_belowBar;
    TrayRevealSettings m_reveal;
    TrayLayoutSettings m_layout;
    TrayOrganizerAreas m_areas;
    Published m_published;
    bool m_followPending = false;
    bool m_showPreferences = false;
    bool m_launchAtLogin = false;
    std::optional<QString> m_launchAtLoginUnavailable;
    quint64 m_loginItemsObserver = 0;
    QString m_helpTopic;
    QString m_dropTarget;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor
