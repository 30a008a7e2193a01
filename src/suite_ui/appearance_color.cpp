#include "suite_ui/appearance_color.h"

#include "suite_ui/app_theme.h"

#include <array>

namespace velmor {
namespace {

struct Family {
    QStringView name;
    bool dark;
};

// The system's appearances and the basic one each is a variant of.
constexpr std::array<Family, 8> families = {{
    {u"NSAppearanceNameAqua", false},
    {u"NSAppearanceNameVibrantLight", false},
    {u"NSAppearanceNameAccessibilityHighContrastAqua", false},
    {u"NSAppearanceNameAccessibilityHighContrastVibrantLight", false},
    {u"NSAppearanceNameDarkAqua", true},
    {u"NSAppearanceNameVibrantDark", true},
    {u"NSAppearanceNameAccessibilityHighContrastDarkAqua", true},
    {u"NSAppearanceNameAccessibilityHighContrastVibrantDark", true},
}};

} // namespace

bool AppearanceColor::isDark(QStringView appearanceName)
{
    for (const Family& family : families) {
        if (family.name == appearanceName)
            return family.dark;
    }
    return false;
}

QString AppearanceColor::name(bool dark)
{
    return (dark ? darkAquaName : aquaName).toString();
}

AppearanceColor AppTheme::accentColor(Product product)
{
    return AppearanceColor(accent(product));
}

AppearanceColor AppTheme::controlAccentColor(Product product)
{
    return AppearanceColor(controlAccent(product));
}

} // namespace velmor
