#pragma once

#include <functional>

namespace velmor {

// The boundaries inside one edit of a system preference domain. Only fault-injection tests watch
// them (to end the process between two steps); the app never does.
enum class TrayEditStep {
    beforeJournal,     // the domain is read and the change planned; nothing saved yet
    afterFirstJournal, // the journal that covers the coming write is saved
    afterWrite,        // the domain holds the change
    afterFinalJournal, // the journal describes exactly what is changed now
};

using TrayEditStepObserver = std::function<void(TrayEditStep)>;

} // namespace velmor
