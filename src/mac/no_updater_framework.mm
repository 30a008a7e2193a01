#include "mac/mac_updater.h"

namespace velmor::platform::mac {

// Built without Sparkle: updates are not offered, which the update controller handles.
UpdaterFrameworkPointer makeUpdaterFramework()
{
    return UpdaterFrameworkPointer(nullptr, [](UpdaterFramework*) {});
}

} // namespace velmor::platform::mac
