#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace velmor::platform {

enum class LoginItemStatus { NotRegistered, Enabled, RequiresApproval, NotFound };

// The main application's login item, as the system's login-item service offers it. Errors are the
// system's localized descriptions.
class LoginItems {
public:
    using Completion = std::function<void(std::optional<QString> error)>;

    virtual ~LoginItems() = default;

    virtual LoginItemStatus status() const = 0;
    // Synchronous, as the system's call is.
    virtual std::optional<QString> registerMainApp() = 0;
    // The completion runs on the main thread once the system has answered.
    virtual void unregisterMainApp(Completion completion) = 0;
    virtual void openSystemSettingsLoginItems() = 0;
};

} // namespace velmor::platform
