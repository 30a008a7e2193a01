#pragma once

#include "platform/screens.h"

namespace velmor::platform::mac {

// The displays (NSScreen); the first is the primary one, which holds the menu bar.
class MacScreens final : public Screens {
public:
    QList<QRectF> frames() const override;
    std::optional<QRectF> mainVisibleFrame() const override;
};

} // namespace velmor::platform::mac
