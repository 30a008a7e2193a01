#pragma once

#include "settings_window/tray_access_guide_presenter.h"
#include "settings_window/tray_areas_block.h"
#include "settings_window/tray_below_bar_settings.h"
#include "settings_window/tray_groups_block.h"
#include "settings_window/tray_layout_settings.h"
#include "settings_window/tray_notices_block.h"
#include "settings_window/tray_preferences_block.h"
#include "settings_window/tray_reveal_settings.h"
#include "settings_window/tray_status_block.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

namespace velmor {
namespace platform {
struct Services;
}

class TrayApp;
class TrayModel;

// The organizer window's presenter: one block presenter per block of the window, in the window's
// order — status and actions, notices, areas, groups, preferences (with the reveal, bar-below and
// layout presenters inside it) — plus what belongs to the whole window: its title, the help
// popover, the access guide sheet and the symbols of its controls. It follows every change of the
// tray model once per burst of changes and hands it to each block.
class TraySettingsPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The app makes one for its settings window")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString helpTopic READ helpTopic WRITE setHelpTopic NOTIFY helpChanged)
    Q_PROPERTY(QString helpTitle READ helpTitle NOTIFY helpChanged)
    Q_PROPERTY(QString helpText READ helpText NOTIFY helpChanged)
    Q_PROPERTY(velmor::TrayStatusBlock* status READ status CONSTANT)
    Q_PROPERTY(velmor::TrayNoticesBlock* notices READ notices CONSTANT)
    Q_PROPERTY(velmor::TrayAreasBlock* areas READ areas CONSTANT)
    Q_PROPERTY(velmor::TrayGroupsBlock* groups READ groups CONSTANT)
    Q_PROPERTY(velmor::TrayPreferencesBlock* preferences READ preferences CONSTANT)
    Q_PROPERTY(velmor::TrayAccessGuidePresenter* accessGuide READ accessGuide CONSTANT)
    Q_PROPERTY(velmor::TrayBelowBarSettings* belowBar READ belowBar CONSTANT)
    Q_PROPERTY(velmor::TrayRevealSettings* reveal READ reveal CONSTANT)
    Q_PROPERTY(velmor::TrayLayoutSettings* layout READ layout CONSTANT)
    // The symbols of the window's own controls, by role: help, permissions, setup, order,
    // warning, appsInfo, refresh, addGroup, createFirstGroup, emptyArea, options, missingIcon,
    // footer, disclosure.
    Q_PROPERTY(QVariant symbols READ symbols CONSTANT)

public:
    static constexpr const char* helpSymbol = "questionmark.circle";
    static constexpr const char* permissionsSymbol = "lock.shield";
    static constexpr const char* setupSymbol = "hand.raised.circle";
    static constexpr const char* orderSymbol = "arrow.left.arrow.right";
    static constexpr const char* warningSymbol = "exclamationmark.triangle";
    static constexpr const char* appsInfoSymbol = "info.circle";
    static constexpr const char* refreshSymbol = "arrow.clockwise";
    static constexpr const char* addGroupSymbol = "plus";
    static constexpr const char* createFirstGroupSymbol = "plus.circle";
    // Turned a quarter down while the group is open.
    static constexpr const char* disclosureSymbol = "chevron.right";
    static constexpr const char* footerSymbol = "lock.shield";
    static constexpr const char* emptyAreaSymbol = "square.dashed";
    static constexpr const char* optionsSymbol = "ellipsis";
    static constexpr const char* missingIconSymbol = "app.dashed";

    TraySettingsPresenter(TrayApp& app, const platform::Services& services, QObject* parent = nullptr);

    QString title() const;
    QString helpTopic() const { return m_helpTopic; }
    // A raw topic name opens its popover; anything else closes it.
    void setHelpTopic(const QString& topic);
    QString helpTitle() const;
    QString helpText() const;
    static QVariant symbols();

    TrayStatusBlock* status() { return &m_status; }
    TrayNoticesBlock* notices() { return &m_notices; }
    TrayAreasBlock* areas() { return &m_areas; }
    TrayGroupsBlock* groups() { return &m_groups; }
    TrayPreferencesBlock* preferences() { return &m_preferences; }
    TrayAccessGuidePresenter* accessGuide() { return &m_accessGuide; }
    TrayBelowBarSettings* belowBar() { return &m_belowBar; }
    TrayRevealSettings* reveal() { return &m_reveal; }
    TrayLayoutSettings* layout() { return &m_layout; }

    Q_INVOKABLE void openAccessGuide();

    // The window came on screen: it shows as if built anew (no disclosure, popover or sheet
    // open) and reads the login item.
    void windowAppeared();

Q_SIGNALS:
    void helpChanged();

private:
    // Brings every block up to date with the model.
    void follow();

    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    TrayAccessGuidePresenter m_accessGuide;
    TrayBelowBarSettings m_belowBar;
    TrayRevealSettings m_reveal;
    TrayLayoutSettings m_layout;
    TrayStatusBlock m_status;
    TrayNoticesBlock m_notices;
    TrayAreasBlock m_areas;
    TrayGroupsBlock m_groups;
    TrayPreferencesBlock m_preferences;
    bool m_followPending = false;
    QString m_helpTopic;
};

} // namespace velmor
