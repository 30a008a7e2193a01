#pragma once

#include <memory>

namespace velmor::platform {
class UpdaterFramework;
}

namespace velmor::platform::mac {

using UpdaterFrameworkPointer = std::unique_ptr<UpdaterFramework, void (*)(UpdaterFramework*)>;

// The update framework this build was configured with: Sparkle when it was found at configure
// time, none otherwise (null).
UpdaterFrameworkPointer makeUpdaterFramework();

} // namespace velmor::platform::mac
