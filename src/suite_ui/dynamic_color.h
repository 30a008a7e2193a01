#pragma once

#include <QColor>

namespace velmor {

// A colour with a value for light and one for dark appearances, resolved where it is drawn.
struct DynamicColor {
    QColor light;
    QColor dark;

    QColor resolve(bool darkAppearance) const { return darkAppearance ? dark : light; }

    friend bool operator==(const DynamicColor&, const DynamicColor&) = default;
};

} // namespace velmor
