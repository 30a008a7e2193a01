#pragma once

#include "platform/screens.h"

namespace velmor::platform {

// The displays of the simulated Mac; the first holds the menu bar and the Dock.
class SimulatedScreens final : public Screens {
public:
    static constexpr double dockHeight = 64;

    SimulatedScreens(QList<QRectF> frames, double menuBarHeight)
        : m_frames(std::move(frames)), m_menuBarHeight(menuBarHeight)
    {}

    QList<QRectF> frames() const override { return m_frames; }
    std::optional<QRectF> mainVisibleFrame() const override;

private:
    QList<QRectF> m_frames;
    double m_menuBarHeight;
};

} // namespace velmor::platform
