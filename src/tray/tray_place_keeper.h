#pragma once

#include "platform/mouse_events.h"
#include "platform/task_handle.h"
#include "platform/workspace.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;

// Marker mode: an app that quits and launches again keeps its icons on their side of the marker.
// The menu bar forgets an item's place when the item goes, so a relaunched app's icon would be
// made where new items appear, at the left end, among the always hidden ones. While the
// arrangement is in force the keeper remembers every other app's place; when an app quits it
// gives the places the menu bar forgot back with the journalled position edit, once, so the icons
// are made where they were. A place the person changes with a Command-drag is remembered anew
// once the drag has settled, so the keeper never undoes it. Main thread only.
class TrayPlaceKeeper final : public QObject {
    Q_OBJECT

public:
    // The menu bar lets go of a quitting app's items as its process ends; looked at a moment later.
    static constexpr double lookDelay = 0.2;

    // `report` hears the edit's sentence when a place could not be given back.
    TrayPlaceKeeper(const platform::Services& services, NativeTrayController& controller,
                    std::function<void(const QString&)> report);
    ~TrayPlaceKeeper() override;

    // The controller's state changed: once the arrangement is in force, the places are read.
    void controllerChanged();
    // The places remembered now, by preferred-position key.
    const QHash<QString, double>& remembered() const { return m_places; }
    // How many places were given back since the keeper started.
    int placedAgain() const { return m_placedAgain; }

private:
    bool active() const;
    void remember();
    void appQuit(const platform::RunningApplication& app);
    void giveBack(const platform::RunningApplication& app);

    const platform::Services& m_services;
    QPointer<NativeTrayController> m_controller;
    std::function<void(const QString&)> m_report;
    QHash<QString, double> m_places;
    bool m_wasActive = false;
    int m_placedAgain = 0;
    std::optional<platform::Workspace::ObserverId> m_quitObserver;
    std::optional<platform::MouseEvents::MonitorId> m_dragMonitor;
    platform::TaskHandle m_rememberTask;
};

} // namespace velmor
