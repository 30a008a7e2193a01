#pragma once

#include "platform/status_bar.h"

#include <QList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velmor::simulated_mac {

class SimulatedMenuBar;
class SimulatedMouseEvents;
class SimulatedStatusItem;

// This app's side of the simulated menu bar: the status items it creates, the menu a click opened,
// and the clicks a person makes on its items.
class SimulatedStatusBar final : public platform::StatusBar {
public:
    struct Owner {
        qint32 pid = 0;
        // The owner half of the items' preferred-position keys.
        QString name;
    };

    // `beforeQuery` runs before the app reads geometry (the world notices edits then);
    // `itemShown` after one of the app's items appeared.
    SimulatedStatusBar(SimulatedMenuBar& menuBar, SimulatedMouseEvents& mouseEvents, Owner owner,
                       std::function<void()> beforeQuery, std::function<void()> itemShown);
    ~SimulatedStatusBar() override;

    std::shared_ptr<platform::StatusItem> createItem(double length) override;
    void removeItem(const std::shared_ptr<platform::StatusItem>& item) override;

    // The app's live items, in creation order.
    QList<SimulatedStatusItem*> items() const;
    // The item whose effective name is `name`.
    SimulatedStatusItem* item(const QString& name) const;

    // A person clicks an item: mouse-down and mouse-up at its centre, then its menu opens or its
    // action is sent. False when the item is not on screen.
    bool click(SimulatedStatusItem& item, bool rightButton);

    // The menu a click opened, until an item is chosen or it is closed.
    const std::optional<platform::Menu>& openMenu() const { return m_openMenu; }
    // Chooses the first enabled item with this title and closes the menu; false when there is none.
    bool chooseMenuItem(const QString& title);
    void closeMenu();
    // Told when a menu opens or closes.
    void setMenuHandler(std::function<void()> handler) { m_menuChanged = std::move(handler); }

    // For the items themselves.
    SimulatedMenuBar& menuBar() { return m_menuBar; }
    const Owner& owner() const { return m_owner; }
    double squareWidth() const;
    void showMenu(const platform::Menu& menu);
    void beforeQuery() const;
    void itemShown();
    void forget(const SimulatedStatusItem* item);

private:
    QString unusedDefaultName() const;

    SimulatedMenuBar& m_menuBar;
    SimulatedMouseEvents& m_mouseEvents;
    Owner m_owner;
    std::function<void()> m_beforeQuery;
    std::function<void()> m_itemShown;
    std::vector<std::weak_ptr<SimulatedStatusItem>> m_items;
    std::optional<platform::Menu> m_openMenu;
    std::function<void()> m_menuChanged;
};

} // namespace velmor::simulated_mac
