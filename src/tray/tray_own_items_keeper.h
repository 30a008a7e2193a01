#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;

// Keeps the app's own status items where a person can reach them. Whenever the chevron or a group
// button lands out of sight on the display whose bar is in use (behind a camera housing, under the
// frontmost app's menus, or past the bar's end), the items move to the right end of the bar, next
// to the system's items, through the journalled position edit, and are made again so the system
// places them there. That is tried once for each new situation, never again for the same one, so
// it cannot loop; when it does not help, the organizer says how else to reach the app. In marker
// mode the chevron bounds the sections and stays where the person put it: when the always visible
// icons alone push it out of sight, the organizer offers to make the nearest of them expandable.
class TrayOwnItemsKeeper final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* unreachableNotice =
        "Velmor Tray's icons do not fit in the menu bar. Reach the app with its keyboard shortcuts, its "
        "Dock icon, or “Open Velmor Tray” in the search.";
    static constexpr const char* crowdedNotice =
        "The always visible icons leave no room for Velmor Tray's chevron. Make %1 expandable to "
        "bring the chevron back.";
    static constexpr const char* makeRoomAction = "Make %1 expandable";

    TrayOwnItemsKeeper(const platform::Services& services, TrayModel& model, NativeTrayController& controller,
                       QObject* parent = nullptr);

    // Looks at the app's own items now; the delegate calls it after every judgement of what is out
    // of sight and once the controller has settled.
    void check();

    // The organizer's sentence; empty while the app's items can be seen.
    const QString& notice() const { return m_notice; }
    // Marker mode's offer: the action's title, empty without one.
    QString offerTitle() const;
    // Moves the chevron right of the icon the offer names; false without an offer.
    bool acceptOffer();

Q_SIGNALS:
    void changed();

private:
    struct Look {
        // The lost items: "chevron", or a group's identifier.
        QStringList lost;
        QString signature;
        // Marker mode: the always visible app right next to the chevron, by name.
        QString nearestApp;
    };
    std::optional<Look> look() const;
    void setNotice(const QString& notice, const QString& offerApp);

    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    QPointer<NativeTrayController> m_controller;
    // The situation the last move answered: the same one is not answered twice.
    QString m_tried;
    bool m_moving = false;
    QString m_notice;
    QString m_offerApp;
};

} // namespace velmor
