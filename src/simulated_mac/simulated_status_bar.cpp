#include "simulated_mac/simulated_status_bar.h"

#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_mouse_events.h"
#include "simulated_mac/simulated_status_item.h"

#include <algorithm>

namespace velmor::simulated_mac {

SimulatedStatusBar::SimulatedStatusBar(SimulatedMenuBar& menuBar, SimulatedMouseEvents& mouseEvents,
                                       Owner owner, std::function<void()> beforeQuery,
                                       std::function<void()> itemShown)
    : m_menuBar(menuBar), m_mouseEvents(mouseEvents), m_owner(std::move(owner)),
      m_beforeQuery(std::move(beforeQuery)), m_itemShown(std::move(itemShown))
{}

SimulatedStatusBar::~SimulatedStatusBar()
{
    // The app may hold its items longer than the desktop lives.
    for (const auto& weak : m_items) {
        if (const auto item = weak.lock())
            item->detach();
    }
}

std::shared_ptr<platform::StatusItem> SimulatedStatusBar::createItem(double length)
{
    auto item = std::make_shared<SimulatedStatusItem>(*this, length, unusedDefaultName());
    m_items.push_back(item);
    return item;
}

void SimulatedStatusBar::removeItem(const std::shared_ptr<platform::StatusItem>& item)
{
    const auto simulated = std::dynamic_pointer_cast<SimulatedStatusItem>(item);
    if (!simulated)
        return;
    forget(simulated.get());
    simulated->detach();
}

void SimulatedStatusBar::forget(const SimulatedStatusItem* item)
{
    std::erase_if(m_items, [item](const std::weak_ptr<SimulatedStatusItem>& weak) {
        const auto locked = weak.lock();
        return !locked || locked.get() == item;
    });
}

QList<SimulatedStatusItem*> SimulatedStatusBar::items() const
{
    QList<SimulatedStatusItem*> result;
    for (const auto& weak : m_items) {
        if (const auto item = weak.lock())
            result.append(item.get());
    }
    return result;
}

SimulatedStatusItem* SimulatedStatusBar::item(const QString& name) const
{
    for (SimulatedStatusItem* item : items()) {
        if (item->effectiveName() == name)
            return item;
    }
    return nullptr;
}

// The system names an item without an autosave name after the first free slot, as the Mac does.
QString SimulatedStatusBar::unusedDefaultName() const
{
    for (int index = 0;; ++index) {
        const QString name = QStringLiteral("Item-%1").arg(index);
        if (!item(name))
            return name;
    }
}

double SimulatedStatusBar::squareWidth() const
{
    return m_menuBar.frame().height();
}

void SimulatedStatusBar::beforeQuery() const
{
    if (m_beforeQuery)
        m_beforeQuery();
}

void SimulatedStatusBar::itemShown()
{
    if (m_itemShown)
        m_itemShown();
}

bool SimulatedStatusBar::click(SimulatedStatusItem& item, bool rightButton)
{
    beforeQuery();
    const MenuBarEntry* entry = m_menuBar.entry(item.entryId());
    if (!entry || !entry->onScreen)
        return false;
    const QPointF centre = entry->visibleFrame->center();
    const auto down = rightButton ? platform::MouseEventType::RightMouseDown : platform::MouseEventType::LeftMouseDown;
    const auto up = rightButton ? platform::MouseEventType::RightMouseUp : platform::MouseEventType::LeftMouseUp;
    std::weak_ptr<SimulatedStatusItem> target;
    for (const auto& weak : m_items) {
        if (weak.lock().get() == &item)
            target = weak;
    }
    m_mouseEvents.play({platform::MouseEvent{down, false, centre}, platform::MouseEvent{up, false, centre}}, true,
                       [target, rightButton] {
                           if (const auto locked = target.lock())
                               locked->respondToClick(rightButton);
                       });
    return true;
}

void SimulatedStatusBar::showMenu(const platform::Menu& menu)
{
    m_openMenu = menu;
    if (m_menuChanged)
        m_menuChanged();
}

void SimulatedStatusBar::closeMenu()
{
    if (!m_openMenu)
        return;
    m_openMenu.reset();
    if (m_menuChanged)
        m_menuChanged();
}

bool SimulatedStatusBar::chooseMenuItem(const QString& title)
{
    if (!m_openMenu)
        return false;
    const platform::Menu menu = *m_openMenu;
    const auto it = std::find_if(menu.cbegin(), menu.cend(), [&](const platform::MenuItem& item) {
        return !item.separator && item.enabled && item.title == title;
    });
    if (it == menu.cend())
        return false;
    closeMenu();
    if (it->action)
        it->action();
    return true;
}

} // namespace velmor::simulated_mac
