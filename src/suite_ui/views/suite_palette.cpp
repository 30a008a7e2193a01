#include "suite_ui/views/suite_palette.h"

#include "suite_ui/app_theme.h"

namespace velmor {
namespace {

AppearancePalette::Colors suiteColors(const DynamicColor& color)
{
    return {color.light, color.dark};
}

} // namespace

SuitePalette::SuitePalette(QObject* parent) : AppearancePalette(parent)
{
    setColors(Role::accent, suiteColors(AppTheme::accent()));
    setColors(Role::controlAccent, suiteColors(AppTheme::controlAccent()));
    setColors(Role::warning, suiteColors(AppTheme::warning()));
    setColors(Role::canvas, suiteColors(AppTheme::canvas()));
}

} // namespace velmor
