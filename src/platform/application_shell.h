#pragma once

#include "platform/menu.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace velmor::platform {

enum class ActivationPolicy { Regular, Accessory, Prohibited };

// Identifies one of this app's windows for as long as it exists; never reused within a run, so a
// set of ids held after a window is gone matches nothing (the weak hold of window sets).
using WindowId = quint64;

struct WindowInfo {
    WindowId id = 0;
    QString title;
    bool visible = false;
    bool miniaturized = false;
    // "settings", "feedback", "updates", "guide" … as the app names its windows.
    QString kind;
    bool panel = false;
    // The window has a title bar; borderless windows and the status items' windows do not.
    bool titled = true;
};

// What the window server tells the app about its windows and itself. `window` is set for the
// window notifications and empty for the application ones.
enum class ShellNotification {
    WindowWillClose,
    WindowDidMiniaturize,
    WindowDidDeminiaturize,
    WindowDidBecomeKey,
    ApplicationDidUpdate,
    ApplicationDidUnhide,
};

// This application as the window server sees it.
class ApplicationShell {
public:
    using ObserverId = quint64;
    using NotificationHandler = std::function<void(ShellNotification, std::optional<WindowId> window)>;

    virtual ~ApplicationShell() = default;

    virtual ActivationPolicy activationPolicy() const = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    virtual bool isHidden() const = 0;
    virtual void activate(bool ignoringOtherApps) = 0;
    virtual void terminate() = 0;
    // The app's windows in the window server's order (front to back).
    virtual QList<WindowInfo> windows() const = 0;
    // Takes the window off screen without closing it.
    virtual void orderOut(WindowId window) = 0;
    // Notifications arrive on the main thread.
    virtual ObserverId observe(NotificationHandler handler) = 0;
    virtual void removeObserver(ObserverId observer) = 0;
    // The menus the menu bar shows while the app is frontmost. A backend that draws no menu bar
    // of its own (the system's) keeps nothing.
    virtual void setMainMenu(MainMenu menu) { static_cast<void>(menu); }
};

} // namespace velmor::platform
