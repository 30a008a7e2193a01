#pragma once

#include "tray_visibility/tray_tracked_applications.h"

#include <QByteArray>

namespace velmor {

// Where the control center's tracked-applications list (a serialized property list) is read
// from and written to.
class TrayPreferenceStore {
public:
    virtual ~TrayPreferenceStore() = default;

    virtual QByteArray read() = 0;
    // Replaces the list; throws when the write cannot be confirmed.
    virtual void write(const QByteArray& data) = 0;
    // The same for a list the caller read and edited: a store that confirms the write can check
    // the read-back against the parsed list instead of decoding it again.
    virtual void writeList(const TrayTrackedApplications::List& list) { write(list.data()); }
};

} // namespace velmor
