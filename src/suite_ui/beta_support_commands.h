#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace velmor {

class VelmorSignals;

// The feedback entries as a group of menu commands, placed after the Help menu's own items.
class BetaSupportCommands final {
public:
    static constexpr auto menuTitle = "Help";

    struct Command {
        QString title;
        bool enabled = false;
        std::function<void()> action;
    };

    // The commands as they stand now; an action outliving the hub does nothing.
    static QList<Command> commands(VelmorSignals* hub);

    BetaSupportCommands() = delete;
};

} // namespace velmor
