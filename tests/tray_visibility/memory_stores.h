#pragma once

#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_store.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_store.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <functional>

namespace velmor::test {

// The tracked-applications list in memory, with the real store's read-back check. `failRead`
// and `failWrite` run first and may throw; `keep` lets the system keep the old list.
class MemoryPreferenceStore final : public TrayPreferenceStore {
public:
    QByteArray data;
    int writes = 0;
    bool keep = false;
    std::function<void()> failRead;
    std::function<void()> failWrite;

    QByteArray read() override
    {
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
        if (!keep)
            data = written;
        if (!TrayTrackedApplications::verifiesVisibilityChange(before, written, data))
            throw TrayPreferenceError(TrayPreferenceError::Case::verification);
    }
};

// Positions in memory; `alter` changes what lands of a patch, before the read-back check.
class MemoryPositionStore final : public TrayPositionStore {
public:
    Positions positions;
    int patches = 0;
    std::function<void(Positions&)> alter;
    std::function<void()> failRead;

    Positions read() override
    {
        if (failRead)
            failRead();
        return positions;
    }
    void patch(const Positions& changes, Keys) override
    {
        ++patches;
        Positions landed = changes;
        if (alter)
            alter(landed);
        for (auto it = landed.cbegin(); it != landed.cend(); ++it)
            positions.insert(it.key(), it.value());
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (positions.value(it.key()) != it.value())
                throw TrayPositionError(TrayPositionError::Case::verification);
        }
    }
};

} // namespace velmor::test
