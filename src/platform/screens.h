#pragma once

#include <QList>
#include <QRectF>

#include <optional>

namespace velmor::platform {

// The displays, in screen coordinates (origin bottom left of the primary screen, y up).
class Screens {
public:
    virtual ~Screens() = default;

    // The first frame is the primary screen, which holds the menu bar.
    virtual QList<QRectF> frames() const = 0;
    // The main screen's frame minus the menu bar and the Dock.
    virtual std::optional<QRectF> mainVisibleFrame() const = 0;
};

} // namespace velmor::platform
