#include "simulated_mac/simulated_below_bar_panel.h"

namespace velmor::platform {

void SimulatedBelowBarPanel::show(const QList<Entry>& entries, const QRectF& anchor)
{
    m_shown = true;
    m_entries = entries;
    m_anchor = anchor;
    m_menuOwner.reset();
    changed();
}

void SimulatedBelowBarPanel::close()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_entries.clear();
    m_menuOwner.reset();
    changed();
    if (m_handlers.closed) {
        const auto closed = m_handlers.closed;
        closed();
    }
}

bool SimulatedBelowBarPanel::activate(int index)
{
    if (!m_shown || index < 0 || index >= m_entries.size())
        return false;
    if (m_handlers.activated) {
        const auto activated = m_handlers.activated;
        activated(index);
    }
    return true;
}

void SimulatedBelowBarPanel::menuClosed(qint32 processIdentifier)
{
    if (m_shown && m_menuOwner == processIdentifier)
        close();
}

void SimulatedBelowBarPanel::changed()
{
    if (m_changed)
        m_changed();
}

} // namespace velmor::platform
