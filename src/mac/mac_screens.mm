#include "mac/mac_screens.h"

#import <AppKit/AppKit.h>

namespace velmor::platform::mac {
namespace {

// Objective-C answers NSZeroRect for an area a display does not have.
std::optional<QRectF> area(NSRect rect)
{
    if (NSIsEmptyRect(rect))
        return std::nullopt;
    return QRectF::fromCGRect(NSRectToCGRect(rect));
}

} // namespace

MacScreens::~MacScreens()
{
    for (const auto& [observer, token] : m_observers)
        [[NSNotificationCenter defaultCenter] removeObserver:token];
}

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

QList<ScreenTopArea> MacScreens::topAreas() const
{
    QList<ScreenTopArea> areas;
    for (NSScreen* screen in [NSScreen screens]) {
        ScreenTopArea top;
        // The safe area and the auxiliary areas came with the first Macs with a camera housing
        // (macOS 12); an older system has no housing to report.
        if (@available(macOS 12.0, *)) {
            top.safeAreaTopInset = screen.safeAreaInsets.top;
            top.auxiliaryTopLeft = area(screen.auxiliaryTopLeftArea);
            top.auxiliaryTopRight = area(screen.auxiliaryTopRightArea);
        }
        areas.append(top);
    }
    return areas;
}

bool MacScreens::separateSpaces() const
{
    // Mission Control's "Displays have separate Spaces"; a change takes effect only after the
    // person logs out, and so does this answer.
    return [NSScreen screensHaveSeparateSpaces];
}

Screens::ObserverId MacScreens::observeChanges(std::function<void()> handler)
{
    const ObserverId observer = m_nextObserver++;
    // Posted on the main thread when a display comes or goes, the arrangement or the main display
    // changes, or a lid closes.
    id token = [[NSNotificationCenter defaultCenter]
        addObserverForName:NSApplicationDidChangeScreenParametersNotification
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification*) {
                  if (handler)
                      handler();
                }];
    m_observers.emplace(observer, token);
    return observer;
}

void MacScreens::removeObserver(ObserverId observer)
{
    const auto found = m_observers.find(observer);
    if (found == m_observers.end())
        return;
    [[NSNotificationCenter defaultCenter] removeObserver:found->second];
    m_observers.erase(found);
}

} // namespace velmor::platform::mac
