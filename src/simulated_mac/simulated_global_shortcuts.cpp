#include "simulated_mac/simulated_global_shortcuts.h"

#include "platform/scheduler.h"

namespace velmor::simulated_mac {

SimulatedGlobalShortcuts::SimulatedGlobalShortcuts(platform::Scheduler& scheduler) : m_scheduler(scheduler) {}

SimulatedGlobalShortcuts::~SimulatedGlobalShortcuts() = default;

platform::GlobalShortcuts::Registration SimulatedGlobalShortcuts::add(const platform::KeyCombination& combination,
                                                            std::function<void()> pressed)
{
    if (!platform::KeyCombination::isUsableKey(combination.key))
        return {Outcome::Unavailable, 0};
    // One process cannot hold a combination twice either.
    for (const auto& [id, entry] : m_registrations) {
        if (entry.combination == combination)
            return {Outcome::Taken, 0};
    }
    if (m_taken.contains(combination))
        return {Outcome::Taken, 0};
    const RegistrationId id = m_next++;
    m_registrations.emplace(id, Entry{combination, std::move(pressed)});
    return {Outcome::Registered, id};
}

void SimulatedGlobalShortcuts::remove(RegistrationId registration)
{
    m_registrations.erase(registration);
}

bool SimulatedGlobalShortcuts::press(const platform::KeyCombination& combination)
{
    for (const auto& [id, entry] : m_registrations) {
        if (entry.combination != combination)
            continue;
        std::weak_ptr<char> alive = m_alive;
        m_scheduler.post([this, alive, id = id] {
            if (alive.expired())
                return;
            // Removed before its turn: the key went nowhere.
            const auto found = m_registrations.find(id);
            if (found == m_registrations.end())
                return;
            const std::function<void()> pressed = found->second.pressed;
            if (pressed)
                pressed();
        });
        return true;
    }
    return false;
}

QList<platform::KeyCombination> SimulatedGlobalShortcuts::registered() const
{
    QList<platform::KeyCombination> result;
    for (const auto& [id, entry] : m_registrations)
        result.append(entry.combination);
    return result;
}

} // namespace velmor::simulated_mac
