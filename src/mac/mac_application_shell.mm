#include "mac/mac_application_shell.h"

#include "mac/portable/mac_conventions.h"

#import <AppKit/AppKit.h>
#include <QGuiApplication>
#include <QWindow>
#import <objc/runtime.h>

namespace velmor::platform::mac {

static_assert(MacConventions::regularPolicy == long(NSApplicationActivationPolicyRegular));
static_assert(MacConventions::accessoryPolicy == long(NSApplicationActivationPolicyAccessory));
static_assert(MacConventions::prohibitedPolicy == long(NSApplicationActivationPolicyProhibited));

namespace {

// The address is the key under which each window carries the id this shell gave it.
char windowIdKey;

QString kindOf(NSWindow* window)
{
    for (QWindow* qtWindow : QGuiApplication::topLevelWindows()) {
        // Only windows that already have a native window: asking others would create one.
        if (qtWindow->handle() == nullptr)
            continue;
        NSView* view = (__bridge NSView*)reinterpret_cast<void*>(qtWindow->winId());
        if (view.window == window)
            return qtWindow->objectName();
    }
    return {};
}

struct ObservedNotification {
    NSNotificationName name;
    ShellNotification notification;
    bool aboutWindow;
};

} // namespace

MacApplicationShell::~MacApplicationShell()
{
    while (!m_observers.empty())
        removeObserver(m_observers.begin()->first);
}

ActivationPolicy MacApplicationShell::activationPolicy() const
{
    return MacConventions::activationPolicy(long([NSApp activationPolicy]));
}

void MacApplicationShell::setActivationPolicy(ActivationPolicy policy)
{
    [NSApp setActivationPolicy:NSApplicationActivationPolicy(MacConventions::activationPolicyValue(policy))];
}

bool MacApplicationShell::isHidden() const
{
    return [NSApp isHidden];
}

void MacApplicationShell::activate(bool ignoringOtherApps)
{
    // From macOS 14 the system decides whether the app may take the focus; the flag is gone.
    if (@available(macOS 14.0, *))
        [NSApp activate];
    else
        [NSApp activateIgnoringOtherApps:ignoringOtherApps];
}

void MacApplicationShell::terminate()
{
    [NSApp terminate:nil];
}

WindowId MacApplicationShell::identify(NSWindow* window) const
{
    NSNumber* known = objc_getAssociatedObject(window, &windowIdKey);
    if (known != nil)
        return known.unsignedLongLongValue;
    const WindowId assigned = m_nextWindow++;
    objc_setAssociatedObject(window, &windowIdKey, @(assigned), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    return assigned;
}

QList<WindowInfo> MacApplicationShell::windows() const
{
    QList<WindowInfo> windows;
    for (NSWindow* window in [NSApp windows]) {
        WindowInfo info;
        info.id = identify(window);
        info.title = QString::fromNSString(window.title);
        info.visible = window.visible;
        info.miniaturized = window.miniaturized;
        info.kind = kindOf(window);
        info.panel = [window isKindOfClass:[NSPanel class]];
        info.titled = (window.styleMask & NSWindowStyleMaskTitled) != 0;
        windows.append(info);
    }
    return windows;
}

void MacApplicationShell::orderOut(WindowId window)
{
    for (NSWindow* candidate in [NSApp windows]) {
        if (identify(candidate) == window) {
            [candidate orderOut:nil];
            return;
        }
    }
}

ApplicationShell::ObserverId MacApplicationShell::observe(NotificationHandler handler)
{
    const ObservedNotification observed[] = {
        {NSWindowWillCloseNotification, ShellNotification::WindowWillClose, true},
        {NSWindowDidMiniaturizeNotification, ShellNotification::WindowDidMiniaturize, true},
        {NSWindowDidDeminiaturizeNotification, ShellNotification::WindowDidDeminiaturize, true},
        {NSWindowDidBecomeKeyNotification, ShellNotification::WindowDidBecomeKey, true},
        {NSApplicationDidUpdateNotification, ShellNotification::ApplicationDidUpdate, false},
        {NSApplicationDidUnhideNotification, ShellNotification::ApplicationDidUnhide, false},
    };
    const ObserverId observer = m_nextObserver++;
    NSMutableArray* tokens = [NSMutableArray array];
    NSNotificationCenter* center = [NSNotificationCenter defaultCenter];
    for (const ObservedNotification& entry : observed) {
        const ShellNotification notification = entry.notification;
        const bool aboutWindow = entry.aboutWindow;
        id token = [center addObserverForName:entry.name
                                       object:nil
                                        queue:[NSOperationQueue mainQueue]
                                   usingBlock:^(NSNotification* note) {
                                     std::optional<WindowId> window;
                                     if (aboutWindow) {
                                         if (![note.object isKindOfClass:[NSWindow class]])
                                             return;
                                         window = identify(note.object);
                                     }
                                     handler(notification, window);
                                   }];
        [tokens addObject:token];
    }
    m_observers.emplace(observer, tokens);
    return observer;
}

void MacApplicationShell::removeObserver(ObserverId observer)
{
    const auto found = m_observers.find(observer);
    if (found == m_observers.end())
        return;
    for (id token in found->second)
        [[NSNotificationCenter defaultCenter] removeObserver:token];
    m_observers.erase(found);
}

} // namespace velmor::platform::mac
