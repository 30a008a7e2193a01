#include "mac/mac_workspace.h"

#import <AppKit/AppKit.h>
#include <QSet>

namespace velmor::platform::mac {
namespace {

std::optional<QString> optionalText(NSString* text)
{
    if (text == nil)
        return std::nullopt;
    return QString::fromNSString(text);
}

// What the workspace says of an app but its icon, which costs a drawing.
RunningApplication describedWithoutIcon(NSRunningApplication* application)
{
    RunningApplication described;
    described.processIdentifier = application.processIdentifier;
    described.bundleIdentifier = optionalText(application.bundleIdentifier);
    described.localizedName = optionalText(application.localizedName);
    described.executablePath = optionalText(application.executableURL.path);
    described.terminated = application.terminated;
    return described;
}

// The icon in premultiplied ARGB, the layout QImage and a host-order bitmap context share.
std::optional<Icon> draw(NSImage* image)
{
    if (image == nil)
        return std::nullopt;
    const int pixels = MacWorkspace::iconPoints * 2;
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
    CGContextRef context = CGBitmapContextCreate(
        icon.bits(), size_t(pixels), size_t(pixels), 8, size_t(icon.bytesPerLine()), space,
        CGBitmapInfo(kCGImageAlphaPremultipliedFirst) | CGBitmapInfo(kCGBitmapByteOrder32Host));
    CGColorSpaceRelease(space);
    if (context == nullptr)
        return std::nullopt;
    [NSGraphicsContext saveGraphicsState];
    [NSGraphicsContext setCurrentContext:[NSGraphicsContext graphicsContextWithCGContext:context flipped:NO]];
    [image drawInRect:NSMakeRect(0, 0, pixels, pixels)
             fromRect:NSZeroRect
            operation:NSCompositingOperationSourceOver
             fraction:1.0];
    [NSGraphicsContext restoreGraphicsState];
    CGContextRelease(context);
    return icon;
}

} // namespace

MacWorkspace::MacWorkspace() = default;

MacWorkspace::~MacWorkspace()
{
    NSNotificationCenter* center = [[NSWorkspace sharedWorkspace] notificationCenter];
    for (const auto& [key, token] : m_observers)
        [center removeObserver:token];
}

RunningApplication MacWorkspace::describe(NSRunningApplication* application) const
{
    RunningApplication described = describedWithoutIcon(application);
    const auto cached = m_icons.constFind(described.processIdentifier);
    if (cached != m_icons.constEnd()) {
        described.icon = *cached;
    } else if (auto icon = draw(application.icon)) {
        m_icons.insert(described.processIdentifier, *icon);
        described.icon = std::move(icon);
    }
    return described;
}

QList<RunningApplication> MacWorkspace::runningApplications() const
{
    @autoreleasepool {
        QList<RunningApplication> applications;
        QSet<qint32> running;
        for (NSRunningApplication* application in [[NSWorkspace sharedWorkspace] runningApplications]) {
            applications.append(describe(application));
            running.insert(applications.last().processIdentifier);
        }
        // A process identifier can be reused by a later process.
        for (auto it = m_icons.begin(); it != m_icons.end();) {
            if (running.contains(it.key()))
                ++it;
            else
                it = m_icons.erase(it);
        }
        return applications;
    }
}

Workspace::ObserverId MacWorkspace::observe(NSString* name,
                                            std::function<void(NSRunningApplication*)> handler)
{
    const ObserverId observer = m_nextObserver++;
    // The workspace posts to its own notification center, not the default one.
    id token = [[[NSWorkspace sharedWorkspace] notificationCenter]
        addObserverForName:name
                    object:nil
                     queue:[NSOperationQueue mainQueue]
                usingBlock:^(NSNotification* notification) {
                  NSRunningApplication* application = notification.userInfo[NSWorkspaceApplicationKey];
                  if (![application isKindOfClass:[NSRunningApplication class]] || !handler)
                      return;
                  handler(application);
                }];
    m_observers.emplace(observer, token);
    return observer;
}

Workspace::ObserverId MacWorkspace::observeDidLaunch(LaunchHandler handler)
{
    return observe(NSWorkspaceDidLaunchApplicationNotification, [handler](NSRunningApplication* application) {
        if (handler)
            handler(describedWithoutIcon(application));
    });
}

Workspace::ObserverId MacWorkspace::observeDidTerminate(LaunchHandler handler)
{
    // Posted once the process has ended; the instance still answers its bundle identifier and
    // name, which is all an observer needs to know whose icons went.
    return observe(NSWorkspaceDidTerminateApplicationNotification, [handler](NSRunningApplication* application) {
        if (handler)
            handler(describedWithoutIcon(application));
    });
}

std::optional<qint32> MacWorkspace::frontmostProcessIdentifier() const
{
    NSWorkspace* workspace = [NSWorkspace sharedWorkspace];
    // The menu bar shows the menus of the app that owns it, which is not the app in front while
    // an app without a menu bar of its own (an agent app) has the keyboard.
    NSRunningApplication* owner = workspace.menuBarOwningApplication ?: workspace.frontmostApplication;
    // An instance not tied to a process answers -1.
    if (owner == nil || owner.processIdentifier <= 0)
        return std::nullopt;
    return qint32(owner.processIdentifier);
}

Workspace::ObserverId MacWorkspace::observeDidActivate(ActivationHandler handler)
{
    return observe(NSWorkspaceDidActivateApplicationNotification,
                   [handler](NSRunningApplication* application) {
                       if (handler)
                           handler(qint32(application.processIdentifier));
                   });
}

void MacWorkspace::removeObserver(ObserverId observer)
{
    const auto found = m_observers.find(observer);
    if (found == m_observers.end())
        return;
    [[[NSWorkspace sharedWorkspace] notificationCenter] removeObserver:found->second];
    m_observers.erase(found);
}

bool MacWorkspace::openUrl(const QUrl& url)
{
    NSURL* target = url.toNSURL();
    return target != nil && [[NSWorkspace sharedWorkspace] openURL:target];
}

void MacWorkspace::revealInFileBrowser(const QString& path)
{
    [[NSWorkspace sharedWorkspace]
        activateFileViewerSelectingURLs:@[ [NSURL fileURLWithPath:path.toNSString()] ]];
}

} // namespace velmor::platform::mac
