#include "mac/mac_status_bar.h"

#import "mac/mac_action_target.h"
#include "mac/portable/mac_conventions.h"

#import <AppKit/AppKit.h>

#include <algorithm>

namespace velmor::platform::mac {

static_assert(MacConventions::imageRightPosition == long(NSImageRight));
static_assert(MacConventions::imageLeftPosition == long(NSImageLeft));
static_assert(MacConventions::imageOnlyPosition == long(NSImageOnly));
static_assert(MacConventions::noImagePosition == long(NSNoImage));
static_assert(MacConventions::maskOf(MacConventions::leftMouseUpType) == quint64(NSEventMaskLeftMouseUp));
static_assert(MacConventions::maskOf(MacConventions::rightMouseUpType) == quint64(NSEventMaskRightMouseUp));

MacStatusButton::MacStatusButton(NSStatusBarButton* button) : m_button(button) {}

void MacStatusButton::setTitle(const QString& title)
{
    m_button.title = title.toNSString();
}

QString MacStatusButton::title() const
{
    return QString::fromNSString(m_button.title);
}

void MacStatusButton::setSymbolImage(const QString& symbolName, const QString& accessibilityDescription)
{
    m_symbolName = symbolName;
    // Nil for a name the system does not know: the button then shows no image.
    m_button.image = [NSImage imageWithSystemSymbolName:symbolName.toNSString()
                               accessibilityDescription:accessibilityDescription.toNSString()];
}

void MacStatusButton::setImagePosition(ImagePosition position)
{
    m_button.imagePosition = NSCellImagePosition(MacConventions::imagePosition(position));
}

void MacStatusButton::setToolTip(const QString& toolTip)
{
    m_button.toolTip = toolTip.toNSString();
}

QString MacStatusButton::toolTip() const
{
    return QString::fromNSString(m_button.toolTip);
}

void MacStatusButton::setEnabled(bool enabled)
{
    m_button.enabled = enabled;
}

bool MacStatusButton::isEnabled() const
{
    return m_button.enabled;
}

void MacStatusButton::setAppearsDisabled(bool disabled)
{
    m_button.appearsDisabled = disabled;
}

void MacStatusButton::setAccessibilityLabel(const QString& label)
{
    m_button.accessibilityLabel = label.toNSString();
}

QString MacStatusButton::accessibilityLabel() const
{
    return QString::fromNSString(m_button.accessibilityLabel);
}

void MacStatusButton::setAction(std::function<void()> action, ButtonTrigger trigger)
{
    m_target = [[VMBActionTarget alloc] initWithAction:std::move(action)];
    m_button.target = m_target;
    m_button.action = @selector(perform:);
    [m_button sendActionOn:NSEventMask(MacConventions::actionMask(trigger))];
}

void MacStatusButton::performClick()
{
    [m_button performClick:nil];
}

MacStatusItem::MacStatusItem(NSStatusItem* item)
    : m_item(item), m_button(item.button), m_menuTargets([NSMutableArray array])
{}

MacStatusItem::~MacStatusItem() = default;

void MacStatusItem::setLength(double points)
{
    m_item.length = points;
}

double MacStatusItem::length() const
{
    return m_item.length;
}

void MacStatusItem::setAutosaveName(const QString& name)
{
    m_autosaveName = name;
    // Nil gives the item back the name the system chose for it.
    m_item.autosaveName = name.isEmpty() ? nil : name.toNSString();
}

void MacStatusItem::setVisible(bool visible)
{
    m_item.visible = visible;
}

bool MacStatusItem::isVisible() const
{
    return m_item.visible;
}

std::optional<QRectF> MacStatusItem::buttonWindowFrame() const
{
    NSWindow* window = m_item.button.window;
    if (window == nil)
        return std::nullopt;
    return QRectF::fromCGRect(NSRectToCGRect(window.frame));
}

void MacStatusItem::setMenu(std::optional<Menu> menu)
{
    [m_menuTargets removeAllObjects];
    if (!menu) {
        m_item.menu = nil;
        return;
    }
    NSMenu* built = [[NSMenu alloc] initWithTitle:@""];
    for (const MenuItem& entry : *menu) {
        if (entry.separator) {
            [built addItem:[NSMenuItem separatorItem]];
            continue;
        }
        VMBActionTarget* target = [[VMBActionTarget alloc] initWithAction:entry.action];
        [m_menuTargets addObject:target];
        NSMenuItem* item = [[NSMenuItem alloc] initWithTitle:entry.title.toNSString()
                                                      action:@selector(perform:)
                                               keyEquivalent:@""];
        item.target = target;
        [built addItem:item];
    }
    m_item.menu = built;
}

std::shared_ptr<StatusItem> MacStatusBar::createItem(double length)
{
    NSStatusItem* item = [[NSStatusBar systemStatusBar] statusItemWithLength:length];
    auto created = std::make_shared<MacStatusItem>(item);
    m_items.push_back(created);
    return created;
}

void MacStatusBar::removeItem(const std::shared_ptr<StatusItem>& item)
{
    const auto* mac = dynamic_cast<const MacStatusItem*>(item.get());
    if (mac == nullptr)
        return;
    [[NSStatusBar systemStatusBar] removeStatusItem:mac->item()];
    std::erase_if(m_items, [&](const std::weak_ptr<StatusItem>& kept) {
        const auto alive = kept.lock();
        return !alive || alive == item;
    });
}

int MacStatusBar::itemCount() const
{
    return int(std::count_if(m_items.begin(), m_items.end(),
                             [](const std::weak_ptr<StatusItem>& kept) { return !kept.expired(); }));
}

} // namespace velmor::platform::mac
