#pragma once

#include "platform/key_combination.h"

#include <QtGlobal>

#include <functional>

namespace velmor::platform {

// Key combinations the system hands to this app whichever app is in front (on the Mac the Carbon
// hot keys, which need no permission). A registration the system refuses is reported, never
// retried behind the person's back. Main thread only; a pressed combination runs its handler on
// the main thread.
class GlobalShortcuts {
public:
    using RegistrationId = quint64;

    enum class Outcome {
        Registered,
        // Another app holds the combination, or the system keeps it for itself.
        Taken,
        // The system cannot register this combination at all (no such key on this keyboard).
        Unavailable,
    };

    struct Registration {
        Outcome outcome = Outcome::Unavailable;
        // Names the registration to remove; 0 unless registered.
        RegistrationId id = 0;
    };

    virtual ~GlobalShortcuts() = default;

    virtual Registration add(const KeyCombination& combination, std::function<void()> pressed) = 0;
    virtual void remove(RegistrationId registration) = 0;
    // How this system's key events name the Mac's modifier keys, for a recorder that reads them.
    virtual KeyCombination::QtModifierNames qtModifierNames() const = 0;
};

} // namespace velmor::platform
