#pragma once

#include "suite_ui/dynamic_color.h"

#include <QColor>
#include <QString>
#include <QStringView>

namespace velmor {

// A colour that resolves itself against the appearance it is drawn in, as the platform's own
// dynamic colours do: a window hands it the name of its appearance ("NSAppearanceNameDarkAqua" …).
class AppearanceColor final {
public:
    static constexpr QStringView aquaName = u"NSAppearanceNameAqua";
    static constexpr QStringView darkAquaName = u"NSAppearanceNameDarkAqua";

    explicit AppearanceColor(DynamicColor color) : m_color(std::move(color)) {}

    QColor resolve(QStringView appearanceName) const { return m_color.resolve(isDark(appearanceName)); }
    const DynamicColor& dynamicColor() const { return m_color; }

    // Dark when, of aqua and darkAqua, the appearance matches darkAqua best; an appearance that
    // matches neither counts as light.
    static bool isDark(QStringView appearanceName);
    // The plain system appearance of a light or dark window.
    static QString name(bool dark);

    friend bool operator==(const AppearanceColor&, const AppearanceColor&) = default;

private:
    DynamicColor m_color;
};

} // namespace velmor
