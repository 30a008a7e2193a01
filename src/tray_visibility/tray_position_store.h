#pragma once

#include <QHash>
#include <QString>

namespace velmor {

// Where the menu bar's preferred positions (item key -> position) are read from and patched.
class TrayPositionStore {
public:
    using Positions = QHash<QString, double>;

    virtual ~TrayPositionStore() = default;

    // Whether a patch may give a key the domain does not hold its place back.
    enum class Keys { existingOnly, mayAddForgotten };

    virtual Positions read() = 0;
    // Sets keys to new positions; keys that are not patched keep theirs. With `existingOnly` a key
    // the domain lacks is refused (an edit only ever moves what the menu bar placed); with
    // `mayAddForgotten` it is added as the menu bar writes one, to give back a place it forgot.
    virtual void patch(const Positions& changes, Keys keys) = 0;
};

} // namespace velmor
