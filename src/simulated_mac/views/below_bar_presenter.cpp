#include "simulated_mac/views/below_bar_presenter.h"

#include "simulated_mac/simulated_desktop.h"

#include <algorithm>

namespace velmor::platform {

BelowBarPresenter::BelowBarPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_entries(nullptr)
{
    refresh();
}

QString BelowBarPresenter::title() const
{
    return QString::fromUtf8(BelowBarPanel::title);
}

void BelowBarPresenter::refresh()
{
    const SimulatedBelowBarPanel& panel = m_desktop.belowBarPanel();
    m_shown = panel.isShown();
    m_entries.setEntries(panel.entries());
    if (m_shown) {
        const QRectF screen = m_desktop.menuBar().primaryScreen();
        const QRectF bar = m_desktop.menuBar().frame();
        m_width =
            std::min(double(panel.entries().size()) * entryPoints + 2 * padding, screen.width() - 2 * gap);
        const double rightEdge = panel.anchor().right() - screen.x();
        m_x = std::clamp(rightEdge - m_width, gap, std::max(gap, screen.width() - m_width - gap));
        m_y = bar.height() + gap;
    }
    Q_EMIT changed();
}

bool BelowBarPresenter::activate(int index)
{
    return m_desktop.belowBarPanel().activate(index);
}

void BelowBarPresenter::dismiss()
{
    m_desktop.belowBarPanel().dismiss();
}

} // namespace velmor::platform
