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
    // A disabled item shows greyed out and cannot be chosen.
    bool enabled = true;

    static MenuItem makeSeparator() { return MenuItem{{}, {}, true}; }
};

using Menu = QList<MenuItem>;

// One menu of an application's main menu, as the menu bar shows it while the app is frontmost.
struct MenuBarMenu {
    QString title;
    Menu items;
};

// The application menu first (titled with the app's name), then the others left to right.
using MainMenu = QList<MenuBarMenu>;

} // namespace velmor::platform
