#pragma once

namespace velmor {

// The app's windows on a window system. Headless runs keep only the simulated window server's
// list; the windowed app and the screenshots show real Qt Quick windows.
class AppWindows {
public:
    virtual ~AppWindows() = default;

    // Shows the one settings window (creating it the first time) and brings it forward; its
    // content's on-appear action runs when it comes on screen.
    virtual void showSettingsWindow() = 0;
    virtual void closeSettingsWindow() = 0;
};

} // namespace velmor
