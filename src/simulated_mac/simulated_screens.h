#pragma once

#include "platform/screens.h"

#include <QMap>

namespace velmor::simulated_mac {

// The displays of the simulated Mac; the first is the main display, which holds the menu bar and
// the Dock. The built-in display may have a camera housing, centred on its top edge and as high as
// the menu bar, which the menu bar flows around. A person can change the displays while the Mac
// runs (close the lid, make another display main).
class SimulatedScreens final : public platform::Screens {
public:
    static constexpr double dockHeight = 64;

    struct Display {
        QRectF frame;
        // The camera housing's width; absent for a display without one.
        std::optional<double> housingWidth;
        QString name;
        bool builtIn = false;

        friend bool operator==(const Display&, const Display&) = default;
    };

    SimulatedScreens(QList<Display> displays, double menuBarHeight, bool separateSpaces = true);

    QList<QRectF> frames() const override;
    std::optional<QRectF> mainVisibleFrame() const override;
    QList<platform::ScreenTopArea> topAreas() const override;
    // A simulated display is known by its name and whether it is built in, as the scenario says.
    QList<platform::DisplayIdentity> identities() const override;
    bool separateSpaces() const override { return m_separateSpaces; }
    ObserverId observeChanges(std::function<void()> handler) override;
    void removeObserver(ObserverId observer) override;

    const QList<Display>& displays() const { return m_displays; }
    // The top edge a display with this frame and housing reports (screen coordinates).
    static platform::ScreenTopArea topArea(const Display& display, double menuBarHeight);
    // Replaces the displays (the first becomes the main one) and tells the observers.
    void setDisplays(QList<Display> displays);

private:
    QList<Display> m_displays;
    double m_menuBarHeight;
    bool m_separateSpaces;
    QMap<ObserverId, std::function<void()>> m_observers;
    ObserverId m_lastObserver = 0;
};

} // namespace velmor::simulated_mac
