#include "simulated_mac/simulated_accessibility.h"

#include "simulated_mac/simulated_accessibility_element.h"
#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_status_item.h"
#include "simulated_mac/simulated_workspace.h"

#include <algorithm>

namespace velmor::simulated_mac {
namespace {

using Kind = SimulatedAccessibilityElement::Kind;

const QString roleAttribute = QStringLiteral("AXRole");
const QString titleAttribute = QStringLiteral("AXTitle");
const QString descriptionAttribute = QStringLiteral("AXDescription");
const QString identifierAttribute = QStringLiteral("AXIdentifier");
const QString helpAttribute = QStringLiteral("AXHelp");
const QString positionAttribute = QStringLiteral("AXPosition");
const QString sizeAttribute = QStringLiteral("AXSize");
const QString parentAttribute = QStringLiteral("AXParent");
const QString childrenAttribute = QStringLiteral("AXChildren");
const QString enabledAttribute = QStringLiteral("AXEnabled");
const QString extrasMenuBarAttribute = QStringLiteral("AXExtrasMenuBar");
const QString menuBarAttribute = QStringLiteral("AXMenuBar");
const QString systemWideRole = QStringLiteral("AXSystemWide");
const QString applicationRole = QStringLiteral("AXApplication");
const QString menuBarRole = QStringLiteral("AXMenuBar");
const QString groupRole = QStringLiteral("AXGroup");
const QString menuBarItemRole = QStringLiteral("AXMenuBarItem");
const QString imageRole = QStringLiteral("AXImage");
const QString pressAction = QStringLiteral("AXPress");

// Handles whose time-outs are remembered before stale ones are dropped.
constexpr qsizetype timeoutTableLimit = 2048;

} // namespace

SimulatedAccessibility::SimulatedAccessibility(SimulatedWorkspace& workspace, SimulatedMenuBar& menuBar,
                                               qint32 systemMenuBarPid,
                                               std::function<void(platform::Duration)> spendTime,
                                               std::function<void()> beforeQuery)
    : m_workspace(workspace), m_menuBar(menuBar), m_systemMenuBarPid(systemMenuBarPid),
      m_spendTime(std::move(spendTime)), m_beforeQuery(std::move(beforeQuery))
{}

bool SimulatedAccessibility::requestTrust()
{
    ++m_calls;
    if (m_trusted)
        return true;
    ++m_prompts;
    if (m_prompt)
        m_prompt();
    return m_trusted;
}

platform::AccessibilityElement SimulatedAccessibility::applicationElement(qint32 processIdentifier)
{
    ++m_calls;
    return SimulatedAccessibilityElement::make(Kind::Application, processIdentifier);
}

platform::AccessibilityElement SimulatedAccessibility::systemWideElement()
{
    ++m_calls;
    return SimulatedAccessibilityElement::make(Kind::SystemWide, 0);
}

platform::AccessibilityElement SimulatedAccessibility::itemElement(quint64 entryId) const
{
    const MenuBarEntry* entry = m_menuBar.entry(entryId);
    if (!entry || !entry->frame)
        return {};
    return SimulatedAccessibilityElement::make(Kind::Item, entry->pid, entry->id);
}

QList<const MenuBarEntry*> SimulatedAccessibility::shownEntries(qint32 pid) const
{
    QList<const MenuBarEntry*> entries = m_menuBar.entriesOf(pid);
    entries.removeIf([](const MenuBarEntry* entry) { return !entry->frame; });
    return entries;
}

QList<const MenuBarEntry*> SimulatedAccessibility::groupMembers(qint32 pid, const QString& group) const
{
    QList<const MenuBarEntry*> entries = shownEntries(pid);
    entries.removeIf([&](const MenuBarEntry* entry) { return entry->extra.group != group; });
    return entries;
}

const MenuBarEntry* SimulatedAccessibility::itemEntry(const SimulatedAccessibilityElement& reference) const
{
    const MenuBarEntry* entry = m_menuBar.entry(reference.serial());
    if (!entry || entry->pid != reference.pid() || !entry->frame)
        return nullptr;
    return entry;
}

const SimulatedAccessibilityElement*
SimulatedAccessibility::resolve(const platform::AccessibilityElement& element) const
{
    const SimulatedAccessibilityElement* reference = SimulatedAccessibilityElement::from(element);
    if (!reference)
        return nullptr;
    switch (reference->kind()) {
    case Kind::SystemWide:
    case Kind::SystemMenuBar:
        return reference;
    case Kind::Application:
    case Kind::ExtrasBar: {
        const SimulatedApplication* application = m_workspace.application(reference->pid());
        return application && application->running ? reference : nullptr;
    }
    case Kind::Group: {
        const auto members = groupMembers(reference->pid(), reference->group());
        return !members.isEmpty() && members.first()->id == reference->serial() ? reference : nullptr;
    }
    case Kind::Item:
        return itemEntry(*reference) ? reference : nullptr;
    case Kind::ItemPart: {
        const MenuBarEntry* entry = itemEntry(*reference);
        return entry && reference->depth() >= 1 && reference->depth() <= entry->extra.hitDepth ? reference
                                                                                               : nullptr;
    }
    case Kind::AppMenuBar:
    case Kind::AppMenu: {
        const SimulatedApplication* application = m_workspace.application(reference->pid());
        const auto menus = m_applicationMenus ? m_applicationMenus(reference->pid()) : std::nullopt;
        if (!application || !application->running || !menus)
            return nullptr;
        return reference->kind() == Kind::AppMenuBar || reference->serial() < quint64(menus->count)
                   ? reference
                   : nullptr;
    }
    }
    return nullptr;
}

bool SimulatedAccessibility::message(const platform::AccessibilityElement& element,
                                     const SimulatedAccessibilityElement& reference)
{
    if (reference.kind() == Kind::SystemWide)
        return true;
    const SimulatedApplication* application = m_workspace.application(reference.pid());
    if (!application || !application->running)
        return false;
    const auto spend = [this](double seconds) {
        if (m_spendTime)
            m_spendTime(velmor::platform::seconds(seconds));
    };
    if (application->config.axUnresponsive) {
        spend(m_timeouts.value(element, m_globalTimeout));
        return false;
    }
    spend(application->config.axLatency);
    return true;
}

const SimulatedAccessibilityElement* SimulatedAccessibility::begin(const platform::AccessibilityElement& element)
{
    ++m_calls;
    ++m_messages;
    if (!m_trusted)
        return nullptr;
    if (m_beforeQuery)
        m_beforeQuery();
    const SimulatedAccessibilityElement* reference = SimulatedAccessibilityElement::from(element);
    if (!reference || !message(element, *reference))
        return nullptr;
    return resolve(element);
}

platform::AccessibilityElement SimulatedAccessibility::parentOf(const MenuBarEntry& entry) const
{
    if (entry.extra.group) {
        const auto members = groupMembers(entry.pid, *entry.extra.group);
        return SimulatedAccessibilityElement::make(Kind::Group, entry.pid, members.first()->id,
                                                   *entry.extra.group);
    }
    return SimulatedAccessibilityElement::make(Kind::ExtrasBar, entry.pid);
}

std::vector<platform::AccessibilityElement>
SimulatedAccessibility::children(const SimulatedAccessibilityElement& reference) const
{
    std::vector<platform::AccessibilityElement> result;
    if (reference.kind() == Kind::Item || reference.kind() == Kind::ItemPart) {
        const MenuBarEntry* entry = itemEntry(reference);
        const int depth = reference.kind() == Kind::Item ? 0 : reference.depth();
        if (entry && depth < entry->extra.hitDepth)
            result.push_back(SimulatedAccessibilityElement::part(entry->pid, entry->id, depth + 1));
        return result;
    }
    if (reference.kind() == Kind::Group) {
        for (const MenuBarEntry* entry : groupMembers(reference.pid(), reference.group()))
            result.push_back(SimulatedAccessibilityElement::make(Kind::Item, entry->pid, entry->id));
        return result;
    }
    if (reference.kind() == Kind::AppMenuBar) {
        const auto menus = m_applicationMenus ? m_applicationMenus(reference.pid()) : std::nullopt;
        for (int i = 0; menus && i < menus->count; ++i)
            result.push_back(SimulatedAccessibilityElement::make(Kind::AppMenu, reference.pid(), quint64(i)));
        return result;
    }
    if (reference.kind() != Kind::ExtrasBar)
        return result;
    QStringList groups;
    for (const MenuBarEntry* entry : shownEntries(reference.pid())) {
        if (!entry->extra.group) {
            result.push_back(SimulatedAccessibilityElement::make(Kind::Item, entry->pid, entry->id));
        } else if (!groups.contains(*entry->extra.group)) {
            // A group sits where its first member would.
            groups.append(*entry->extra.group);
            result.push_back(
                SimulatedAccessibilityElement::make(Kind::Group, entry->pid, entry->id, *entry->extra.group));
        }
    }
    return result;
}

std::optional<QRectF> SimulatedAccessibility::groupFrame(const SimulatedAccessibilityElement& reference) const
{
    std::optional<QRectF> united;
    for (const MenuBarEntry* entry : groupMembers(reference.pid(), reference.group()))
        united = united ? united->united(*entry->frame) : *entry->frame;
    return united;
}

std::optional<platform::AccessibilityValue> SimulatedAccessibility::itemAttribute(const MenuBarEntry& entry,
                                                                        const QString& name) const
{
    const SimulatedStatusItem* item = entry.statusItem;
    if (name == roleAttribute)
        return menuBarItemRole;
    if (name == titleAttribute)
        return item ? item->simulatedButton().title() : entry.extra.title;
    if (name == descriptionAttribute)
        return item ? item->simulatedButton().accessibilityDescription() : entry.extra.description;
    if (name == identifierAttribute && !item && !entry.extra.identifier.isEmpty())
        return entry.extra.identifier;
    if (name == helpAttribute && item)
        return item->simulatedButton().toolTip();
    if (name == enabledAttribute)
        return item ? item->simulatedButton().isEnabled() : true;
    if (name == positionAttribute)
        return m_menuBar.toAccessibility(*entry.frame).topLeft();
    if (name == sizeAttribute)
        return entry.frame->size();
    if (name == parentAttribute)
        return parentOf(entry);
    return std::nullopt;
}

std::optional<platform::AccessibilityValue>
SimulatedAccessibility::applicationMenuAttribute(const SimulatedAccessibilityElement& reference,
                                                 const QString& name) const
{
    const bool bar = reference.kind() == Kind::AppMenuBar;
    if (name == roleAttribute)
        return bar ? menuBarRole : menuBarItemRole;
    if (name == parentAttribute)
        return bar ? SimulatedAccessibilityElement::make(Kind::Application, reference.pid())
                   : SimulatedAccessibilityElement::make(Kind::AppMenuBar, reference.pid());
    const ApplicationMenus menus = *m_applicationMenus(reference.pid());
    QRectF frame = menus.span;
    if (!bar) {
        const double width = menus.span.width() / menus.count;
        frame = QRectF(menus.span.x() + width * double(reference.serial()), menus.span.y(), width,
                       menus.span.height());
    }
    if (name == positionAttribute)
        return frame.topLeft();
    if (name == sizeAttribute)
        return frame.size();
    return std::nullopt;
}

std::optional<platform::AccessibilityValue> SimulatedAccessibility::attribute(const platform::AccessibilityElement& element,
                                                                    const QString& name)
{
    const SimulatedAccessibilityElement* reference = begin(element);
    if (!reference)
        return std::nullopt;
    switch (reference->kind()) {
    case Kind::SystemWide:
        return name == roleAttribute ? std::optional<platform::AccessibilityValue>(systemWideRole) : std::nullopt;
    case Kind::SystemMenuBar:
        return name == roleAttribute ? std::optional<platform::AccessibilityValue>(menuBarRole) : std::nullopt;
    case Kind::Application: {
        if (name == roleAttribute)
            return applicationRole;
        if (name == titleAttribute)
            return m_workspace.application(reference->pid())->config.name;
        if (name == extrasMenuBarAttribute && !shownEntries(reference->pid()).isEmpty())
            return SimulatedAccessibilityElement::make(Kind::ExtrasBar, reference->pid());
        if (name == menuBarAttribute && m_applicationMenus && m_applicationMenus(reference->pid()))
            return SimulatedAccessibilityElement::make(Kind::AppMenuBar, reference->pid());
        return std::nullopt;
    }
    case Kind::AppMenuBar:
    case Kind::AppMenu:
        return applicationMenuAttribute(*reference, name);
    case Kind::ExtrasBar:
        if (name == roleAttribute)
            return menuBarRole;
        if (name == parentAttribute)
            return SimulatedAccessibilityElement::make(Kind::Application, reference->pid());
        return std::nullopt;
    case Kind::Group: {
        if (name == roleAttribute)
            return groupRole;
        if (name == parentAttribute)
            return SimulatedAccessibilityElement::make(Kind::ExtrasBar, reference->pid());
        const QRectF frame = m_menuBar.toAccessibility(*groupFrame(*reference));
        if (name == positionAttribute)
            return frame.topLeft();
        if (name == sizeAttribute)
            return frame.size();
        return std::nullopt;
    }
    case Kind::Item:
        return itemAttribute(*itemEntry(*reference), name);
    case Kind::ItemPart: {
        const MenuBarEntry& entry = *itemEntry(*reference);
        if (name == roleAttribute)
            return reference->depth() == entry.extra.hitDepth ? imageRole : groupRole;
        if (name == parentAttribute) {
            return reference->depth() == 1
                       ? SimulatedAccessibilityElement::make(Kind::Item, entry.pid, entry.id)
                       : SimulatedAccessibilityElement::part(entry.pid, entry.id, reference->depth() - 1);
        }
        if (name == positionAttribute || name == sizeAttribute)
            return itemAttribute(entry, name);
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<int> SimulatedAccessibility::attributeValueCount(const platform::AccessibilityElement& element,
                                                               const QString& name)
{
    const SimulatedAccessibilityElement* reference = begin(element);
    if (!reference || name != childrenAttribute)
        return std::nullopt;
    return static_cast<int>(children(*reference).size());
}

std::optional<std::vector<platform::AccessibilityValue>>
SimulatedAccessibility::attributeValues(const platform::AccessibilityElement& element, const QString& name, int index,
                                        int maximum)
{
    const SimulatedAccessibilityElement* reference = begin(element);
    if (!reference || name != childrenAttribute || index < 0 || maximum < 0)
        return std::nullopt;
    const std::vector<platform::AccessibilityElement> all = children(*reference);
    if (static_cast<std::size_t>(index) > all.size())
        return std::nullopt;
    const std::size_t end =
        std::min(all.size(), static_cast<std::size_t>(index) + static_cast<std::size_t>(maximum));
    return std::vector<platform::AccessibilityValue>(all.begin() + index,
                                           all.begin() + static_cast<std::ptrdiff_t>(end));
}

std::optional<QStringList> SimulatedAccessibility::actionNames(const platform::AccessibilityElement& element)
{
    const SimulatedAccessibilityElement* reference = begin(element);
    if (!reference)
        return std::nullopt;
    if (reference->kind() != Kind::Item)
        return QStringList();
    const MenuBarEntry* entry = itemEntry(*reference);
    return entry->statusItem ? QStringList{pressAction} : entry->extra.actions;
}

bool SimulatedAccessibility::performAction(const platform::AccessibilityElement& element, const QString& action)
{
    const SimulatedAccessibilityElement* reference = begin(element);
    if (!reference || reference->kind() != Kind::Item)
        return false;
    const MenuBarEntry* entry = itemEntry(*reference);
    SimulatedStatusItem* item = entry->statusItem;
    const QStringList actions = item ? QStringList{pressAction} : entry->extra.actions;
    if (!actions.contains(action))
        return false;
    m_performed.append(PerformedAction{entry->key(), action});
    if (item)
        item->button()->performClick();
    else if (m_pressed)
        m_pressed(entry->id);
    return true;
}

void SimulatedAccessibility::setMessagingTimeout(const platform::AccessibilityElement& element, double seconds)
{
    ++m_calls;
    const SimulatedAccessibilityElement* reference = SimulatedAccessibilityElement::from(element);
    if (!reference)
        return;
    // Zero restores the default; set on the system-wide element it is the default for all.
    if (reference->kind() == Kind::SystemWide) {
        m_globalTimeout = seconds > 0 ? seconds : defaultMessagingTimeout;
        return;
    }
    if (seconds <= 0) {
        m_timeouts.remove(element);
        return;
    }
    if (m_timeouts.size() >= timeoutTableLimit)
        forgetStaleTimeouts();
    m_timeouts.insert(element, seconds);
}

void SimulatedAccessibility::forgetStaleTimeouts()
{
    m_timeouts.removeIf([this](const QHash<platform::AccessibilityElement, double>::iterator& it) {
        return resolve(it.key()) == nullptr;
    });
}

std::optional<platform::AccessibilityElement>
SimulatedAccessibility::elementAtPosition(const platform::AccessibilityElement& systemWide, QPointF point)
{
    const SimulatedAccessibilityElement* reference = begin(systemWide);
    if (!reference || reference->kind() != Kind::SystemWide)
        return std::nullopt;
    if (const MenuBarEntry* entry = m_menuBar.entryAt(point)) {
        // The system asks the process that owns the point, which answers with the deepest part of
        // the item's view there.
        const platform::AccessibilityElement hit =
            entry->extra.hitDepth > 0
                ? SimulatedAccessibilityElement::part(entry->pid, entry->id, entry->extra.hitDepth)
                : SimulatedAccessibilityElement::make(Kind::Item, entry->pid, entry->id);
        if (!message(hit, *SimulatedAccessibilityElement::from(hit)))
            return std::nullopt;
        return hit;
    }
    if (m_menuBar.covers(point))
        return SimulatedAccessibilityElement::make(Kind::SystemMenuBar, m_systemMenuBarPid);
    return std::nullopt;
}

std::optional<qint32> SimulatedAccessibility::processIdentifier(const platform::AccessibilityElement& element)
{
    ++m_calls;
    const SimulatedAccessibilityElement* reference = SimulatedAccessibilityElement::from(element);
    if (!reference || reference->kind() == Kind::SystemWide)
        return std::nullopt;
    return m_owners.value(element, reference->pid());
}

platform::Accessibility::MenuObserverId SimulatedAccessibility::observeMenus(qint32 processIdentifier,
                                                                   MenuHandler handler)
{
    ++m_calls;
    const SimulatedApplication* application = m_workspace.application(processIdentifier);
    if (!m_trusted || !application || !application->running)
        return 0;
    const MenuObserverId id = m_nextMenuObserver++;
    m_menuObservers.emplace(id, MenuObserver{processIdentifier, std::move(handler)});
    return id;
}

void SimulatedAccessibility::removeMenuObserver(MenuObserverId observer)
{
    m_menuObservers.erase(observer);
}

void SimulatedAccessibility::menuChanged(qint32 pid, bool open)
{
    std::vector<MenuObserverId> ids;
    for (const auto& [id, observer] : m_menuObservers) {
        if (observer.pid == pid)
            ids.push_back(id);
    }
    for (const MenuObserverId id : ids) {
        // A handler may remove observers, its own included.
        const auto found = m_menuObservers.find(id);
        if (found == m_menuObservers.end())
            continue;
        const MenuHandler handler = found->second.handler;
        if (handler)
            handler(open);
    }
}

void SimulatedAccessibility::reassignOwner(const platform::AccessibilityElement& element, qint32 pid)
{
    m_owners.insert(element, pid);
}

} // namespace velmor::simulated_mac
