#pragma once

#include "platform/login_items.h"

namespace velmor::platform::mac {

// The main application's login item (SMAppService, macOS 13 and later).
class MacLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override;
    std::optional<QString> registerMainApp() override;
    void unregisterMainApp(Completion completion) override;
    void openSystemSettingsLoginItems() override;
};

} // namespace velmor::platform::mac
