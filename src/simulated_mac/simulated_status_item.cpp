#include "simulated_mac/simulated_status_item.h"

#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_status_bar.h"

namespace velmor::simulated_mac {

SimulatedStatusItem::SimulatedStatusItem(SimulatedStatusBar& bar, double length, const QString& defaultName)
    : m_bar(&bar), m_length(length), m_defaultName(defaultName),
      m_button([this] { updateWidth(); }, [this] { performClick(); })
{
    MenuBarEntry entry;
    entry.kind = MenuBarEntry::Kind::OwnItem;
    entry.pid = bar.owner().pid;
    entry.owner = bar.owner().name;
    entry.name = effectiveName();
    entry.width = width();
    entry.statusItem = this;
    m_entry = bar.menuBar().show(std::move(entry));
    bar.itemShown();
}

SimulatedStatusItem::~SimulatedStatusItem()
{
    if (!m_bar)
        return;
    m_bar->menuBar().remove(m_entry);
    m_bar->forget(this);
}

void SimulatedStatusItem::detach()
{
    if (m_bar && m_entry != 0)
        m_bar->menuBar().remove(m_entry);
    m_bar = nullptr;
    m_entry = 0;
}

double SimulatedStatusItem::width() const
{
    if (m_length == variableLength)
        return m_button.naturalWidth();
    if (m_length == squareLength)
        return m_bar ? m_bar->squareWidth() : 0;
    return std::max(m_length, 0.0);
}

void SimulatedStatusItem::updateWidth()
{
    if (m_bar)
        m_bar->menuBar().setWidth(m_entry, width());
}

void SimulatedStatusItem::setLength(double points)
{
    m_length = points;
    updateWidth();
}

void SimulatedStatusItem::setAutosaveName(const QString& name)
{
    m_autosaveName = name;
    // The system files the item under its new name and places it where that name was last put.
    if (m_bar)
        m_bar->menuBar().rename(m_entry, effectiveName());
}

void SimulatedStatusItem::setVisible(bool visible)
{
    m_visible = visible;
    if (m_bar)
        m_bar->menuBar().setVisible(m_entry, visible);
}

std::optional<QRectF> SimulatedStatusItem::buttonWindowFrame() const
{
    if (!m_bar)
        return std::nullopt;
    m_bar->beforeQuery();
    const MenuBarEntry* entry = m_bar->menuBar().entry(m_entry);
    return entry ? entry->frame : std::nullopt;
}

void SimulatedStatusItem::performClick()
{
    if (m_menu) {
        if (m_bar)
            m_bar->showMenu(*m_menu);
        return;
    }
    if (!m_button.isEnabled() || !m_button.action())
        return;
    const std::function<void()> action = m_button.action();
    action();
}

void SimulatedStatusItem::respondToClick(bool rightButton)
{
    if (!m_button.isEnabled())
        return;
    if (m_menu) {
        if (m_bar)
            m_bar->showMenu(*m_menu);
        return;
    }
    const auto wanted = rightButton ? platform::ButtonTrigger::RightMouseUp : platform::ButtonTrigger::LeftMouseUp;
    if ((static_cast<int>(m_button.trigger()) & static_cast<int>(wanted)) == 0 || !m_button.action())
        return;
    // The action may release this item (the app re-creates its items): call a copy.
    const std::function<void()> action = m_button.action();
    action();
}

} // namespace velmor::simulated_mac
