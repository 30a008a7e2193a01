#include "suite_ui/views/theme.h"

#include "suite_ui/app_theme.h"

namespace velmor {

QColor Theme::accent(bool dark)
{
    return AppTheme::accent().resolve(dark);
}

QColor Theme::controlAccent(bool dark)
{
    return AppTheme::controlAccent().resolve(dark);
}

QColor Theme::warning(bool dark)
{
    return AppTheme::warning().resolve(dark);
}

QColor Theme::canvas(bool dark)
{
    return AppTheme::canvas().resolve(dark);
}

QColor Theme::text(bool dark)
{
    return dark ? QColor(0xf2, 0xf0, 0xec) : QColor(0x1d, 0x1c, 0x1a);
}

QColor Theme::secondaryText(bool dark)
{
    return dark ? QColor(0xa8, 0xa5, 0x9f) : QColor(0x6b, 0x68, 0x63);
}

QColor Theme::separator(bool dark)
{
    return dark ? QColor(0x3a, 0x38, 0x35) : QColor(0xdc, 0xd8, 0xd0);
}

QColor Theme::controlBackground(bool dark)
{
    return dark ? QColor(0x2a, 0x28, 0x26) : QColor(0xff, 0xff, 0xff);
}

QColor Theme::success(bool dark)
{
    return dark ? QColor(0x30, 0xd1, 0x58) : QColor(0x1e, 0x8a, 0x3c);
}

QColor Theme::critical(bool dark)
{
    return dark ? QColor(0xff, 0x45, 0x3a) : QColor(0xd7, 0x00, 0x15);
}

QColor Theme::dimming(bool dark)
{
    return QColor(0, 0, 0, dark ? 150 : 56);
}

} // namespace velmor
