#pragma once

#include "platform/accessibility.h"
#include "platform/mouse_events.h"
#include "platform/task_handle.h"
#include "platform/workspace.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;
class TrayRevealPreferences;

// Hides revealed icons again by themselves: a while after a reveal (the person's delay), and at
// once when another app comes to the front. Never while the pointer is over the revealed icons,
// the tray's buttons or the bar below the menu bar, nor while a menu of a revealed app is open;
// the delay starts again when the pointer leaves or the menu closes. What "Reveal all" shows is a
// recovery, not a peek, and is never hidden by itself. It follows the controller through the
// delegate and hides through it, as a click on the chevron would. Main thread only.
class TrayAutoHide final : public QObject {
    Q_OBJECT

public:
    TrayAutoHide(const platform::Services& services, TrayModel& model, NativeTrayController& controller,
                 TrayRevealPreferences& preferences, QObject* parent = nullptr);
    ~TrayAutoHide() override;

    // The controller's state changed (the delegate tells): a settled reveal starts the delay; a
    // collapse, "Reveal all" or letting go of grouping ends it.
    void controllerChanged();

    // Something revealed is waiting to hide again.
    bool armed() const { return m_armed; }
    // The delay is running (not held by the pointer or an open menu).
    bool counting() const { return m_countdown.isPending(); }

private:
    void arm();
    void disarm();
    void restart();
    void countdownEnded();
    void hide();
    bool held() const;
    bool pointerOver(QPointF point) const;
    void pointerMoved(QPointF point);
    void menuChanged(qint32 pid, bool open);
    void activated(qint32 pid);
    void watchMenus();
    void stopWatching();
    // The revealed apps' processes, and the part of the bar they and the tray's buttons take.
    QSet<qint32> revealedProcesses() const;
    std::optional<QRectF> revealedArea() const;
    int delaySeconds() const;

    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    NativeTrayController& m_controller;
    QPointer<TrayRevealPreferences> m_preferences;
    bool m_armed = false;
    // The last settled state: whether grouping was applied, and what was revealed.
    bool m_settled = false;
    bool m_configured = false;
    QSet<QString> m_revealed;
    bool m_expanded = false;
    // The delay ran out while the controller was busy: hide once it is idle.
    bool m_due = false;
    bool m_pointerInside = false;
    QSet<qint32> m_openMenus;
    platform::TaskHandle m_countdown;
    QHash<qint32, platform::Accessibility::MenuObserverId> m_menuObservers;
    std::optional<platform::MouseEvents::MonitorId> m_globalMoves;
    std::optional<platform::MouseEvents::MonitorId> m_localMoves;
    std::optional<platform::Workspace::ObserverId> m_activations;
};

} // namespace velmor
