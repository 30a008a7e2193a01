#pragma once

#include "tray/tray_app.h"

namespace velmor {

class AppUpdates;

// The menu commands the suite's shell gives the app: the update commands of the application menu
// (as `CheckForAppUpdates` lists them, so the held-back commands come and go with the controller)
// and the feedback commands of the Help menu. Each call of a group reads the current state; the
// scene sets the menu again when that state changes.
class SuiteCommands final {
public:
    SuiteCommands() = delete;

    static TrayApp::Suite of(AppUpdates& updates);
};

} // namespace velmor
