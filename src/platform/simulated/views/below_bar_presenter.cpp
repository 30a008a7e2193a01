#include "platform/simulated/views/below_bar_presenter.h"

#include "platform/simulated/simulated_desktop.h"

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
    if (const auto frame = panel.frame()) {
        // From the main screen's top left corner, y down.
        const QRectF screen = m_desktop.menuBar().primaryScreen();
        m_width = frame->width();
        m_x = frame->x() - screen.x();
        m_y = screen.y() + screen.height() - frame->y() - frame->height();
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
