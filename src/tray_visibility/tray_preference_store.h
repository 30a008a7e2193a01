#pragma once

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
};

} // namespace velmor
