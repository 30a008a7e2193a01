#include "mac/mac_screens.h"

#import <AppKit/AppKit.h>
// A display's UUID comes from ColorSync (macOS 10.13), its numbers from Core Graphics: the target
// has to link ColorSync.framework and CoreGraphics.framework.
#import <ColorSync/ColorSync.h>
#import <CoreGraphics/CoreGraphics.h>

namespace velmor::platform::mac {
namespace {

// Objective-C answers NSZeroRect for an area a display does not have.
std::optional<QRectF> area(NSRect rect)
{
    if (NSIsEmptyRect(rect))
        return std::nullopt;
    return QRectF::fromCGRect(NSRectToCGRect(rect));
}

// The display ID changes with a restart and with the port a display is plugged into; the UUID
// ColorSync keeps a display's profile under does not, so layouts can be stored against it.
QString displayId(CGDirectDisplayID display)
{
    if (CFUUIDRef uuid = CGDisplayCreateUUIDFromDisplayID(display)) {
        QString text;
        if (CFStringRef string = CFUUIDCreateString(kCFAllocatorDefault, uuid)) {
            text = QString::fromCFString(string);
            CFRelease(string);
        }
        CFRelease(uuid);
        if (!text.isEmpty())
            return text;
    }
    // Without a UUID, the numbers the monitor reports through I/O Kit are the next most stable
    // thing. A monitor that encodes no serial number, or one I/O Kit cannot identify, reports a
    // serial of 0: two such monitors of the same model then share this identity, and the layouts
    // stored for it.
    return QStringLiteral("%1-%2-%3")
        .arg(CGDisplayVendorNumber(display))
        .arg(CGDisplayModelNumber(display))
        .arg(CGDisplaySerialNumber(display));
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

QList<DisplayIdentity> MacScreens::identities() const
{
    QList<DisplayIdentity> identities;
    int position = 0;
    for (NSScreen* screen in [NSScreen screens]) {
        ++position;
        DisplayIdentity identity;
        // Every screen still takes its place, so that the list lines up with `frames`; one without
        // a display ID has nothing stable to be known by and keeps an empty id.
        NSNumber* number = screen.deviceDescription[@"NSScreenNumber"];
        if (number != nil) {
            const CGDirectDisplayID display = number.unsignedIntValue;
            identity.id = displayId(display);
            identity.builtIn = CGDisplayIsBuiltin(display) != 0;
        }
        // The name System Settings shows came to NSScreen with macOS 10.15.
        if (@available(macOS 10.15, *))
            identity.name = QString::fromNSString(screen.localizedName);
        if (identity.name.isEmpty())
            identity.name = QStringLiteral("Display %1").arg(position);
        identities.append(identity);
    }
    return identities;
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
