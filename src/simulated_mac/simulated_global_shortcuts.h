#pragma once

#include "platform/global_shortcuts.h"

#include <QList>
#include <QSet>

#include <map>
#include <memory>

namespace velmor::platform {
class Scheduler;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// The simulated Mac's keyboard as far as global shortcuts go: what the app registered, the
// combinations other apps (or the system) hold, and a person pressing keys. A pressed combination
// that is registered runs its handler as a task of its own, as the Mac delivers the hot key event.
class SimulatedGlobalShortcuts final : public platform::GlobalShortcuts {
public:
    explicit SimulatedGlobalShortcuts(platform::Scheduler& scheduler);
    ~SimulatedGlobalShortcuts() override;

    Registration add(const platform::KeyCombination& combination, std::function<void()> pressed) override;
    void remove(RegistrationId registration) override;
    platform::KeyCombination::QtModifierNames qtModifierNames() const override
    {
        return platform::KeyCombination::QtModifierNames::PcKeyboard;
    }

    // A person presses the combination; true when a registration of the app takes it.
    bool press(const platform::KeyCombination& combination);
    // Another app registers the combination (or gives it up): the app's own registration of it
    // fails from now on; one it holds already keeps working, as on the Mac.
    void take(const platform::KeyCombination& combination) { m_taken.insert(combination); }
    void release(const platform::KeyCombination& combination) { m_taken.remove(combination); }
    // The app's process ended: its registrations go with it.
    void removeAll() { m_registrations.clear(); }
    // What the app holds now, in the order it registered.
    QList<platform::KeyCombination> registered() const;

private:
    struct Entry {
        platform::KeyCombination combination;
        std::function<void()> pressed;
    };

    platform::Scheduler& m_scheduler;
    std::map<RegistrationId, Entry> m_registrations;
    QSet<platform::KeyCombination> m_taken;
    RegistrationId m_next = 1;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::simulated_mac
