#include "simulated_mac/simulated_login_items.h"

#include "platform/scheduler.h"

namespace velmor::simulated_mac {

SimulatedLoginItems::SimulatedLoginItems(platform::Scheduler& scheduler, ScenarioLoginItems behaviour)
    : m_scheduler(scheduler), m_behaviour(std::move(behaviour)), m_status(m_behaviour.status)
{}

SimulatedLoginItems::~SimulatedLoginItems() = default;

std::optional<QString> SimulatedLoginItems::registerMainApp()
{
    if (m_behaviour.registerError)
        return m_behaviour.registerError;
    // An item that already waits for approval keeps waiting; registering again approves nothing.
    if (m_status == platform::LoginItemStatus::Enabled || m_status == platform::LoginItemStatus::RequiresApproval)
        return std::nullopt;
    setStatus(m_behaviour.requiresApproval ? platform::LoginItemStatus::RequiresApproval : platform::LoginItemStatus::Enabled);
    return std::nullopt;
}

void SimulatedLoginItems::unregisterMainApp(Completion completion)
{
    // The system answers later, never from inside the call.
    m_scheduler.post([this, alive = std::weak_ptr<char>(m_alive), completion = std::move(completion)] {
        if (alive.expired())
            return;
        if (m_behaviour.unregisterError) {
            if (completion)
                completion(m_behaviour.unregisterError);
            return;
        }
        setStatus(platform::LoginItemStatus::NotRegistered);
        if (completion)
            completion(std::nullopt);
    });
}

void SimulatedLoginItems::openSystemSettingsLoginItems()
{
    if (m_openSettings)
        m_openSettings();
}

bool SimulatedLoginItems::setApproved(bool approved)
{
    const platform::LoginItemStatus from = approved ? platform::LoginItemStatus::RequiresApproval : platform::LoginItemStatus::Enabled;
    if (m_status != from)
        return false;
    setStatus(approved ? platform::LoginItemStatus::Enabled : platform::LoginItemStatus::RequiresApproval);
    return true;
}

void SimulatedLoginItems::setStatus(platform::LoginItemStatus status)
{
    if (m_status == status)
        return;
    m_status = status;
    statusChanged();
}

} // namespace velmor::simulated_mac
