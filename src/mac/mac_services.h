#pragma once

#include "mac/mac_accessibility.h"
#include "mac/mac_application_shell.h"
#include "mac/mac_below_bar_panel.h"
#include "mac/mac_global_shortcuts.h"
#include "mac/mac_host.h"
#include "mac/mac_login_items.h"
#include "mac/mac_mouse_events.h"
#include "mac/mac_screens.h"
#include "mac/mac_status_bar.h"
#include "mac/mac_updater.h"
#include "mac/mac_user_defaults.h"
#include "mac/mac_workspace.h"
#include "platform/qt_scheduler.h"
#include "platform/services.h"

namespace velmor::platform::mac {

// Every service of the real Mac, for the composition root. Create it on the main thread once the
// application object exists; it must outlive everything it is handed to.
class MacServices final {
public:
    MacServices();
    ~MacServices();
    MacServices(const MacServices&) = delete;
    MacServices& operator=(const MacServices&) = delete;

    const Services& services() const { return m_services; }
    MacStatusBar& statusBar() { return m_statusBar; }

private:
    QtScheduler m_scheduler;
    MacHost m_host;
    MacUserDefaults m_userDefaults;
    MacAccessibility m_accessibility;
    MacWorkspace m_workspace;
    MacStatusBar m_statusBar;
    MacScreens m_screens;
    MacMouseEvents m_mouseEvents;
    MacLoginItems m_loginItems;
    MacApplicationShell m_applicationShell;
    MacBelowBarPanel m_belowBarPanel;
    MacGlobalShortcuts m_globalShortcuts;
    UpdaterFrameworkPointer m_updater;
    Services m_services;
};

} // namespace velmor::platform::mac
