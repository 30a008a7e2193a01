#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace velmor::platform {

// A plain menu as status items attach it: titled items with actions, and separators.
struct MenuItem {
    QString title;
    std::function<void()> action;
    bool separator = false;

    static MenuItem makeSeparator() { return MenuItem{{}, {}, true}; }
};

using Menu = QList<MenuItem>;

} // namespace velmor::platform
