#include "simulated_mac/simulated_below_bar_panel.h"

#include <algorithm>

namespace velmor::simulated_mac {

void SimulatedBelowBarPanel::show(const QList<Entry>& entries, const QRectF& anchor)
{
    m_shown = true;
    m_entries = entries;
    m_anchor = anchor;
    m_menuOwner.reset();
    changed();
}

double SimulatedBelowBarPanel::entryWidth(const Entry& entry)
{
    if (entry.label.isEmpty())
        return entryPoints;
    return entryPoints + std::min(double(entry.label.size()) * labelCharacterPoints, widestLabel) + padding;
}

std::optional<QRectF> SimulatedBelowBarPanel::frame() const
{
    if (!m_shown)
        return std::nullopt;
    double entries = 0;
    for (const Entry& entry : m_entries)
        entries += entryWidth(entry);
    const double width = std::min(entries + 2 * padding, m_screen.width() - 2 * gap);
    const double height = entryPoints + 2 * padding;
    const double x = std::clamp(m_anchor.right() - width, m_screen.left() + gap,
                                std::max(m_screen.left() + gap, m_screen.right() - width - gap));
    // Screen coordinates grow upwards: the panel's top lies a gap below the bar's bottom.
    const double top = m_screen.bottom() - m_menuBarHeight - gap;
    return QRectF(x, top - height, width, height);
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

void SimulatedBelowBarPanel::deliverQueuedClick(int index)
{
    if (m_handlers.activated) {
        const auto activated = m_handlers.activated;
        activated(index);
    }
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

} // namespace velmor::simulated_mac
