#pragma once

#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_store.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_store.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <functional>

namespace velmor::test {

// The tracked-applications list in memory, with the real store's read-back check and switches
// for the faults a system can show.
class MemoryPreferenceStore final : public TrayPreferenceStore {
public:
    QByteArray data;
    int reads = 0;
    int writes = 0;
    // The system accepts the write but keeps the old list.
    bool ignoreWrites = false;
    // Thrown by read() or write() when set.
    std::function<void()> failRead;
    std::function<void()> failWrite;

    QByteArray read() override
    {
        ++reads;
        if (failRead)
            failRead();
        return data;
    }
    void write(const QByteArray& written) override
    {
        ++writes;
        if (failWrite)
            failWrite();
        const QByteArray before = data;
        if (!ignoreWrites)
            data = written;
        if (!TrayTrackedApplications::verifiesVisibilityChange(before, written, data))
            throw TrayPreferenceError(TrayPreferenceError::Case::verification);
    }
};

class MemoryPositionStore final : public TrayPositionStore {
public:
    Positions positions;
    int patches = 0;
    // Applied to every patch before it lands (e.g. a system that drops or alters some keys).
    std::function<void(Positions&)> alterPatch;
    std::function<void()> failRead;

    Positions read() override
    {
        if (failRead)
            failRead();
        return positions;
    }
    void patch(const Positions& changes) override
    {
        if (changes.isEmpty())
            return;
        ++patches;
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (!positions.contains(it.key()))
                throw TrayPositionError(TrayPositionError::Case::unsupported);
        }
        Positions landed = changes;
        if (alterPatch)
            alterPatch(landed);
        for (auto it = landed.cbegin(); it != landed.cend(); ++it)
            positions.insert(it.key(), it.value());
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (positions.value(it.key()) != it.value())
                throw TrayPositionError(TrayPositionError::Case::verification);
        }
    }
};

} // namespace velmor::test
