#pragma once

#include "platform/login_items.h"
#include "simulated_mac/scenario.h"

#include <functional>
#include <memory>

namespace velmor::platform {
class Scheduler;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// The system's login-item service for the app's main-app item, behaving as the scenario says:
// registering may need the user's approval or fail with a reason. The System Settings stand-in's
// Login Items pane gives or withdraws the approval.
class SimulatedLoginItems final : public platform::LoginItems {
public:
    SimulatedLoginItems(platform::Scheduler& scheduler, ScenarioLoginItems behaviour);
    ~SimulatedLoginItems() override;

    platform::LoginItemStatus status() const override { return m_status; }
    std::optional<QString> registerMainApp() override;
    void unregisterMainApp(Completion completion) override;
    void openSystemSettingsLoginItems() override;

    // The Login Items pane's switch for the app. False when the item is not waiting for approval
    // (turning on) or not enabled (turning off).
    bool setApproved(bool approved);

    // The desktop opens its System Settings stand-in.
    void setOpenSettingsHandler(std::function<void()> handler) { m_openSettings = std::move(handler); }

private:
    void setStatus(platform::LoginItemStatus status);

    platform::Scheduler& m_scheduler;
    ScenarioLoginItems m_behaviour;
    platform::LoginItemStatus m_status;
    std::function<void()> m_openSettings;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::simulated_mac
