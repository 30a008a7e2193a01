#pragma once

namespace velmor::platform {

class Scheduler;
class Host;
class UserDefaults;
class Accessibility;
class Workspace;
class StatusBar;
class Screens;
class MouseEvents;
class LoginItems;
class ApplicationShell;
class UpdaterFramework;
class SystemAppearance;
class BelowBarPanel;
class GlobalShortcuts;

// Every way into the host system, built once by the composition root and passed down by
// reference. A member is null only where a backend does not offer that service.
struct Services {
    Scheduler* scheduler = nullptr;
    Host* host = nullptr;
    UserDefaults* userDefaults = nullptr;
    Accessibility* accessibility = nullptr;
    Workspace* workspace = nullptr;
    StatusBar* statusBar = nullptr;
    Screens* screens = nullptr;
    MouseEvents* mouseEvents = nullptr;
    LoginItems* loginItems = nullptr;
    ApplicationShell* applicationShell = nullptr;
    UpdaterFramework* updater = nullptr;
    SystemAppearance* appearance = nullptr;
    BelowBarPanel* belowBarPanel = nullptr;
    GlobalShortcuts* globalShortcuts = nullptr;
};

} // namespace velmor::platform
