#include "platform/mac/mac_screens.h"

#import <AppKit/AppKit.h>

namespace velmor::platform::mac {

QList<QRectF> MacScreens::frames() const
{
    QList<QRectF> frames;
    for (NSScreen* screen in [NSScreen screens])
        frames.append(QRectF::fromCGRect(NSRectToCGRect(screen.frame)));
    return frames;
}

std::optional<QRectF> MacScreens::mainVisibleFrame() const
{
    NSScreen* screen = [NSScreen mainScreen];
    if (screen == nil)
        return std::nullopt;
    return QRectF::fromCGRect(NSRectToCGRect(screen.visibleFrame));
}

} // namespace velmor::platform::mac
