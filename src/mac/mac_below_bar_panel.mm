#include "mac/mac_below_bar_panel.h"

#import "mac/mac_action_target.h"

#import <AppKit/AppKit.h>

#include <algorithm>

using velmor::platform::mac::MacBelowBarPanel;

// Key events of the panel: the arrows move the selection, Return and Enter open the selected
// entry, Escape closes (cancelOperation: is what AppKit sends for Escape).
@interface VMBBelowBarPanel : NSPanel
@property(nonatomic, assign) MacBelowBarPanel* owner;
@end

@implementation VMBBelowBarPanel

static const unichar escapeCharacter = 0x1b;

- (BOOL)canBecomeKeyWindow
{
    return YES;
}

- (BOOL)canBecomeMainWindow
{
    return NO;
}

- (void)cancelOperation:(id)sender
{
    (void)sender;
    if (self.owner != nullptr)
        self.owner->close();
}

- (void)keyDown:(NSEvent*)event
{
    MacBelowBarPanel* owner = self.owner;
    NSString* characters = event.charactersIgnoringModifiers;
    const unichar key = characters.length > 0 ? [characters characterAtIndex:0] : 0;
    if (owner == nullptr) {
        [super keyDown:event];
        return;
    }
    switch (key) {
    case NSLeftArrowFunctionKey:
    case NSUpArrowFunctionKey:
        owner->moveSelection(-1);
        return;
    case NSRightArrowFunctionKey:
    case NSDownArrowFunctionKey:
        owner->moveSelection(1);
        return;
    case NSCarriageReturnCharacter:
    case NSEnterCharacter:
        owner->activateSelection();
        return;
    case escapeCharacter:
        owner->close();
        return;
    default:
        [super keyDown:event];
    }
}

@end

namespace velmor::platform::mac {
namespace {

void menuClosedCallback(AXObserverRef, AXUIElementRef, CFStringRef, void* refcon)
{
    static_cast<MacBelowBarPanel*>(refcon)->menuClosed();
}

// The app's icon as the workspace has it: the running process's, else its bundle's.
NSImage* iconOf(const BelowBarPanel::Entry& entry)
{
    NSRunningApplication* running =
        [NSRunningApplication runningApplicationWithProcessIdentifier:pid_t(entry.processIdentifier)];
    if (running.icon != nil)
        return running.icon;
    NSURL* bundle = entry.bundleID.isEmpty()
                        ? nil
                        : [[NSWorkspace sharedWorkspace]
                              URLForApplicationWithBundleIdentifier:entry.bundleID.toNSString()];
    return bundle != nil ? [[NSWorkspace sharedWorkspace] iconForFile:bundle.path] : nil;
}

} // namespace

MacBelowBarPanel::MacBelowBarPanel() : m_buttons([NSMutableArray array]), m_targets([NSMutableArray array])
{
    m_panel = [[VMBBelowBarPanel alloc]
        initWithContentRect:NSMakeRect(0, 0, entryPoints, entryPoints)
                  styleMask:NSWindowStyleMaskBorderless | NSWindowStyleMaskNonactivatingPanel
                    backing:NSBackingStoreBuffered
                      defer:YES];
    m_panel.owner = this;
    m_panel.level = NSStatusWindowLevel;
    // The app behind the menu bar is rarely active: a panel that hid on deactivation would never show.
    m_panel.hidesOnDeactivate = NO;
    m_panel.releasedWhenClosed = NO;
    m_panel.floatingPanel = YES;
    m_panel.opaque = NO;
    m_panel.backgroundColor = NSColor.clearColor;
    m_panel.hasShadow = YES;
    m_panel.collectionBehavior = NSWindowCollectionBehaviorCanJoinAllSpaces |
                                 NSWindowCollectionBehaviorFullScreenAuxiliary |
                                 NSWindowCollectionBehaviorIgnoresCycle;
    m_panel.accessibilityLabel = QString::fromUtf8(BelowBarPanel::title).toNSString();
}

MacBelowBarPanel::~MacBelowBarPanel()
{
    stopWatching();
    m_panel.owner = nullptr;
    [m_panel orderOut:nil];
}

bool MacBelowBarPanel::isShown() const
{
    return m_panel.visible;
}

std::optional<QRectF> MacBelowBarPanel::frame() const
{
    if (!m_panel.visible)
        return std::nullopt;
    return QRectF::fromCGRect(NSRectToCGRect(m_panel.frame));
}

void MacBelowBarPanel::build(const QList<Entry>& entries)
{
    [m_buttons removeAllObjects];
    [m_targets removeAllObjects];
    NSStackView* stack = [[NSStackView alloc] init];
    stack.orientation = NSUserInterfaceLayoutOrientationHorizontal;
    stack.spacing = 0;
    stack.edgeInsets = NSEdgeInsetsMake(padding, padding, padding, padding);
    for (int index = 0; index < entries.size(); ++index) {
        const Entry& entry = entries[index];
        NSButton* button = [[NSButton alloc] initWithFrame:NSMakeRect(0, 0, entryPoints, entryPoints)];
        button.bordered = NO;
        // The title an item draws tells one app's items apart; an item that draws an image only
        // shows its app's icon alone. At the bar's font, cut with an ellipsis past the widest.
        button.title = entry.label.toNSString();
        button.font = [NSFont menuBarFontOfSize:0];
        button.cell.lineBreakMode = NSLineBreakByTruncatingTail;
        button.imagePosition = entry.label.isEmpty() ? NSImageOnly : NSImageLeading;
        button.imageScaling = NSImageScaleProportionallyUpOrDown;
        NSImage* icon = iconOf(entry);
        if (icon != nil) {
            icon = [icon copy];
            icon.size = NSMakeSize(iconPoints, iconPoints);
            button.image = icon;
        }
        // Other apps' titles are plain text here: an NSButton never interprets markup.
        button.toolTip = entry.accessibleName().toNSString();
        button.accessibilityLabel = entry.accessibleName().toNSString();
        button.wantsLayer = YES;
        button.layer.cornerRadius = 5;
        if (entry.label.isEmpty()) {
            [button.widthAnchor constraintEqualToConstant:entryPoints].active = YES;
        } else {
            [button.widthAnchor constraintGreaterThanOrEqualToConstant:entryPoints].active = YES;
            [button.widthAnchor constraintLessThanOrEqualToConstant:entryPoints + widestLabel].active = YES;
        }
        [button.heightAnchor constraintEqualToConstant:entryPoints].active = YES;
        VMBActionTarget* target = [[VMBActionTarget alloc] initWithAction:[this, index] { activate(index); }];
        button.target = target;
        button.action = @selector(perform:);
        [m_targets addObject:target];
        [m_buttons addObject:button];
        [stack addArrangedSubview:button];
    }
    NSVisualEffectView* background = [[NSVisualEffectView alloc] init];
    background.material = NSVisualEffectMaterialMenu;
    background.state = NSVisualEffectStateActive;
    background.wantsLayer = YES;
    background.layer.cornerRadius = 8;
    background.layer.masksToBounds = YES;
    stack.translatesAutoresizingMaskIntoConstraints = NO;
    [background addSubview:stack];
    [stack.leadingAnchor constraintEqualToAnchor:background.leadingAnchor].active = YES;
    [stack.topAnchor constraintEqualToAnchor:background.topAnchor].active = YES;
    m_panel.contentView = background;
}

void MacBelowBarPanel::show(const QList<Entry>& entries, const QRectF& anchor)
{
    build(entries);
    const CGRect anchorRect = anchor.toCGRect();
    const NSPoint centre = NSMakePoint(CGRectGetMidX(anchorRect), CGRectGetMidY(anchorRect));
    NSScreen* screen = [NSScreen mainScreen];
    for (NSScreen* candidate in [NSScreen screens]) {
        if (NSPointInRect(centre, candidate.frame))
            screen = candidate;
    }
    const NSRect display = screen != nil ? screen.frame : NSRectFromCGRect(anchorRect);
    // The stack's own fitting width: icons, and the titles beside some of them.
    double wanted = 2 * padding;
    for (NSButton* button in m_buttons)
        wanted += std::clamp(double(button.fittingSize.width), entryPoints,
                             button.imagePosition == NSImageOnly ? entryPoints : entryPoints + widestLabel);
    const double width = std::min(wanted, double(NSWidth(display)) - 2 * gap);
    const double height = entryPoints + 2 * padding;
    // Under the anchor's right edge, inside the display; the anchor's window spans the menu bar,
    // so its bottom is where the bar ends.
    double x = CGRectGetMaxX(anchorRect) - width;
    x = std::clamp(x, double(NSMinX(display)) + gap,
                   std::max(double(NSMinX(display)) + gap, double(NSMaxX(display)) - width - gap));
    const double y = CGRectGetMinY(anchorRect) - gap - height;
    [m_panel setFrame:NSMakeRect(x, y, width, height) display:YES];
    select(entries.isEmpty() ? -1 : 0);
    [m_panel orderFrontRegardless];
    [m_panel makeKeyWindow];
    watchClicks();
}

void MacBelowBarPanel::close()
{
    if (!m_panel.visible)
        return;
    stopWatching();
    [m_panel orderOut:nil];
    if (m_handlers.closed) {
        const auto closed = m_handlers.closed;
        closed();
    }
}

void MacBelowBarPanel::select(int index)
{
    m_selected = index;
    NSColor* highlight = [NSColor.controlAccentColor colorWithAlphaComponent:0.35];
    for (NSUInteger i = 0; i < m_buttons.count; ++i) {
        NSButton* button = m_buttons[i];
        button.layer.backgroundColor = int(i) == index ? highlight.CGColor : NSColor.clearColor.CGColor;
    }
}

void MacBelowBarPanel::moveSelection(int delta)
{
    const int count = int(m_buttons.count);
    if (count == 0)
        return;
    select(std::clamp(m_selected + delta, 0, count - 1));
}

void MacBelowBarPanel::activateSelection()
{
    if (m_selected >= 0)
        activate(m_selected);
}

void MacBelowBarPanel::activate(int index)
{
    if (index < 0 || index >= int(m_buttons.count))
        return;
    select(index);
    if (m_handlers.activated) {
        const auto activated = m_handlers.activated;
        activated(index);
    }
}

void MacBelowBarPanel::watchClicks()
{
    if (m_globalClicks != nil)
        return;
    const NSEventMask clicks =
        NSEventMaskLeftMouseDown | NSEventMaskRightMouseDown | NSEventMaskOtherMouseDown;
    // A click in another app (its menu, the desktop, the menu bar) closes the panel.
    m_globalClicks = [NSEvent addGlobalMonitorForEventsMatchingMask:clicks
                                                            handler:^(NSEvent*) {
                                                              close();
                                                            }];
    // So does a click in one of this app's other windows.
    VMBBelowBarPanel* panel = m_panel;
    m_localClicks = [NSEvent addLocalMonitorForEventsMatchingMask:clicks
                                                          handler:^NSEvent*(NSEvent* event) {
                                                            if (event.window != panel)
                                                                close();
                                                            return event;
                                                          }];
}

void MacBelowBarPanel::closeWhenMenuCloses(qint32 processIdentifier)
{
    stopObservingMenu();
    AXObserverRef observer = nullptr;
    if (AXObserverCreate(pid_t(processIdentifier), &menuClosedCallback, &observer) != kAXErrorSuccess ||
        observer == nullptr)
        return;
    AXUIElementRef application = AXUIElementCreateApplication(pid_t(processIdentifier));
    // The application element hears the notifications of all its elements, the menu among them.
    if (application == nullptr || AXObserverAddNotification(observer, application, kAXMenuClosedNotification,
                                                            this) != kAXErrorSuccess) {
        if (application != nullptr)
            CFRelease(application);
        CFRelease(observer);
        return;
    }
    CFRunLoopAddSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer), kCFRunLoopDefaultMode);
    m_menuObserver = observer;
    m_observedApplication = application;
}

void MacBelowBarPanel::menuClosed()
{
    // Not from inside the observer's own callback, which closing would remove.
    dispatch_async(dispatch_get_main_queue(), ^{
      close();
    });
}

void MacBelowBarPanel::stopWatching()
{
    if (m_globalClicks != nil) {
        [NSEvent removeMonitor:m_globalClicks];
        m_globalClicks = nil;
    }
    if (m_localClicks != nil) {
        [NSEvent removeMonitor:m_localClicks];
        m_localClicks = nil;
    }
    stopObservingMenu();
}

void MacBelowBarPanel::stopObservingMenu()
{
    if (m_menuObserver != nullptr) {
        if (m_observedApplication != nullptr)
            AXObserverRemoveNotification(m_menuObserver, m_observedApplication, kAXMenuClosedNotification);
        CFRunLoopRemoveSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(m_menuObserver),
                              kCFRunLoopDefaultMode);
        CFRelease(m_menuObserver);
        m_menuObserver = nullptr;
    }
    if (m_observedApplication != nullptr) {
        CFRelease(m_observedApplication);
        m_observedApplication = nullptr;
    }
}

} // namespace velmor::platform::mac
