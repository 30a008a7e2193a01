#include "simulated_mac/views/below_bar_presenter.h"

#include "simulated_mac/simulated_desktop.h"

#include <utility>

namespace velmor::simulated_mac {

BelowBarPresenter::BelowBarPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_entries(nullptr)
{
    refresh();
}

QString BelowBarPresenter::title() const
{
    return QString::fromUtf8(platform::BelowBarPanel::title);
}

void BelowBarPresenter::refresh()
{
    const SimulatedBelowBarPanel& panel = m_desktop.belowBarPanel();
    const bool shown = panel.isShown();
    m_entries.setEntries(panel.entries());
    double x = m_x;
    double y = m_y;
    double width = m_width;
    if (const auto frame = panel.frame()) {
        // From the main screen's top left corner, y down.
        const QRectF screen = m_desktop.menuBar().screen();
        width = frame->width();
        x = frame->x() - screen.x();
        y = screen.y() + screen.height() - frame->y() - frame->height();
    }
    bool differs = std::exchange(m_shown, shown) != shown;
    differs = std::exchange(m_x, x) != x || differs;
    differs = std::exchange(m_y, y) != y || differs;
    differs = std::exchange(m_width, width) != width || differs;
    if (differs)
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

} // namespace velmor::simulated_mac
