#pragma once

#include "tray/tray_section.h"

#include <QObject>

namespace velmor {
namespace platform {
class UserDefaults;
}

// How the arrangement carries over: whether a start applies the saved grouping by itself, and
// where an app seen for the first time goes. Stored in the app's user defaults; a stored value of
// another type, or a section not offered, reads as the default, which keeps the start and the new
// app's place as they always were.
class TrayArrangementPreferences final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* applyAtStartKey = "tray.applyAtStart.v1";
    // A section's raw value.
    static constexpr const char* newAppsKey = "tray.newApps.v1";

    explicit TrayArrangementPreferences(platform::UserDefaults& defaults, QObject* parent = nullptr);

    bool applyAtStart() const;
    void setApplyAtStart(bool on);
    // Always visible, expandable or always hidden; never the section below the tray.
    TraySection newApps() const;
    void setNewApps(TraySection section);
    static bool offeredForNewApps(TraySection section);
    // The same, for readers that hold the defaults alone.
    static bool applyAtStart(const platform::UserDefaults& defaults);
    static TraySection newApps(const platform::UserDefaults& defaults);

Q_SIGNALS:
    void changed();

private:
    platform::UserDefaults& m_defaults;
};

} // namespace velmor
