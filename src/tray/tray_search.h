#pragma once

#include "tray/tray_item_search.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace velmor {

class NativeTrayController;
class TrayBelowBar;
class TrayModel;

// The search of every menu bar item the tray knows: shown, behind the chevron, always hidden, in
// a named group, or out of sight behind the camera housing. It lists them with where each one is,
// ranks them by what a person types, and opens the chosen one's menu the way the bar below the
// menu bar opens an entry. While the tray is in the middle of a change it waits, says so, and
// opens the item once the change has settled. Main thread only.
class TraySearch final : public QObject {
    Q_OBJECT

public:
    // Where an item is, as a result names it: the organizer's names for its areas.
    static constexpr const char* alwaysVisiblePlacement = "Always visible";
    static constexpr const char* expandablePlacement = "Expandable menu";
    static constexpr const char* hiddenPlacement = "Always hidden";
    static constexpr const char* housingPlacement = "Behind the camera housing";
    static constexpr const char* offBarPlacement = "Off the end of the menu bar";
    static constexpr const char* menusPlacement = "Under the app's menus";
    static constexpr const char* waitingText =
        "Velmor Tray is still changing the menu bar. The item opens when it is done.";
    static constexpr const char* unreachableText = "This item cannot be opened now. Its app may have quit.";
    // The result that opens the app itself: the way to it when its own icons cannot be seen.
    static constexpr const char* openAppID = "local.velmor.tray|open";
    static constexpr const char* openAppName = "Velmor Tray";
    static constexpr const char* openAppTitle = "Open Velmor Tray";

    struct Result {
        QString itemID;
        QString bundleID;
        QString appName;
        QString title;
        QString placement;
        bool hasIcon = false;
    };

    enum class Opening { Opened, Waiting, Unreachable };

    TraySearch(TrayModel& model, NativeTrayController& controller, TrayBelowBar* belowBar,
               QObject* parent = nullptr);
    ~TraySearch() override;

    // Reads the items again from the model: every item it knows, the menu bar's first, then the
    // expandable menu's, the groups', the always hidden ones.
    void refresh();
    const QList<Result>& items() const { return m_items; }
    // The items that match, best first.
    QList<Result> search(const QString& query) const;

    // Opens the item's menu; waits while the tray is busy. The app's own result opens the app.
    Opening open(const QString& itemID);
    // What the app's own result does; without it there is no such result.
    void setOpenApp(std::function<void()> openApp) { m_openApp = std::move(openApp); }
    // The item waiting for the tray to settle, if any.
    const std::optional<QString>& waiting() const { return m_waiting; }
    void cancelWaiting();
    // The controller's state changed: a waiting item opens once it is idle.
    void controllerChanged();

Q_SIGNALS:
    void waitingChanged();

private:
    // The constants above as text.
    static QString text(const char* literal) { return QString::fromUtf8(literal); }
    Opening openNow(const QString& itemID);

    QPointer<TrayModel> m_model;
    NativeTrayController& m_controller;
    QPointer<TrayBelowBar> m_belowBar;
    QList<Result> m_items;
    QList<TrayItemSearch::Entry> m_entries;
    std::optional<QString> m_waiting;
    std::function<void()> m_openApp;
};

} // namespace velmor
