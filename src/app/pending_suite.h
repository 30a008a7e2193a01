#pragma once

#include "tray/tray_app.h"

namespace velmor {

// The suite's parts the app declares but that are not built yet: the update commands and the
// feedback commands show in the menus, disabled, and there is no Dock-presence manager or update
// controller to start. The composition root replaces each member as its part arrives.
TrayApp::Suite pendingSuite();

} // namespace velmor
