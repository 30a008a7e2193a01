#pragma once

#include <QHash>
#include <QString>

namespace velmor {

// Where the menu bar's preferred positions (item key -> position) are read from and patched.
class TrayPositionStore {
public:
    using Positions = QHash<QString, double>;

    virtual ~TrayPositionStore() = default;

    virtual Positions read() = 0;
    // Sets keys to new positions, adding a key the domain does not hold (a place the menu bar
    // forgot) as the menu bar writes one; keys that are not patched keep theirs.
    virtual void patch(const Positions& changes) = 0;
};

} // namespace velmor
