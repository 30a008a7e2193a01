#include "simulated_mac/simulated_screens.h"

#include <algorithm>
#include <cmath>

namespace velmor::simulated_mac {

SimulatedScreens::SimulatedScreens(QList<Display> displays, double menuBarHeight, bool separateSpaces)
    : m_displays(std::move(displays)), m_menuBarHeight(menuBarHeight), m_separateSpaces(separateSpaces)
{}

QList<QRectF> SimulatedScreens::frames() const
{
    QList<QRectF> frames;
    for (const Display& display : m_displays)
        frames.append(display.frame);
    return frames;
}

std::optional<QRectF> SimulatedScreens::mainVisibleFrame() const
{
    if (m_displays.isEmpty())
        return std::nullopt;
    const QRectF& screen = m_displays.first().frame;
    const double height = std::max(screen.height() - m_menuBarHeight - dockHeight, 0.0);
    // Screen coordinates grow upwards: the Dock takes the bottom, the menu bar the top.
    return QRectF(screen.x(), screen.y() + dockHeight, screen.width(), height);
}

platform::ScreenTopArea SimulatedScreens::topArea(const Display& display, double menuBarHeight)
{
    if (!display.housingWidth)
        return {};
    const QRectF& screen = display.frame;
    const double width = std::clamp(*display.housingWidth, 0.0, screen.width());
    // The Mac reports the areas in whole points, as it lays out the bar.
    const double left = std::floor(screen.x() + (screen.width() - width) / 2);
    const double right = left + width;
    // Screen coordinates grow upwards: the areas lie along the screen's maximum y.
    const double bottom = screen.y() + screen.height() - menuBarHeight;
    return platform::ScreenTopArea{menuBarHeight, QRectF(screen.x(), bottom, left - screen.x(), menuBarHeight),
                         QRectF(right, bottom, screen.x() + screen.width() - right, menuBarHeight)};
}

QList<platform::ScreenTopArea> SimulatedScreens::topAreas() const
{
    QList<platform::ScreenTopArea> areas;
    for (const Display& display : m_displays)
        areas.append(topArea(display, m_menuBarHeight));
    return areas;
}

QList<platform::DisplayIdentity> SimulatedScreens::identities() const
{
    QList<platform::DisplayIdentity> identities;
    for (const Display& display : m_displays) {
        const QString kind = display.builtIn ? QStringLiteral("built-in") : QStringLiteral("external");
        identities.append(platform::DisplayIdentity{kind + u':' + display.name, display.name, display.builtIn});
    }
    return identities;
}

platform::Screens::ObserverId SimulatedScreens::observeChanges(std::function<void()> handler)
{
    m_observers.insert(++m_lastObserver, std::move(handler));
    return m_lastObserver;
}

void SimulatedScreens::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
}

void SimulatedScreens::setDisplays(QList<Display> displays)
{
    if (displays == m_displays)
        return;
    m_displays = std::move(displays);
    const auto observers = m_observers;
    for (auto it = observers.begin(); it != observers.end(); ++it) {
        if (m_observers.contains(it.key()))
            it.value()();
    }
}

} // namespace velmor::simulated_mac
