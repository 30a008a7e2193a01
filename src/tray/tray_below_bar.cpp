#include "tray/tray_below_bar.h"

#include "platform/accessibility.h"
#include "platform/below_bar_panel.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_model.h"

#include <algorithm>

namespace velmor {

TrayBelowBar::TrayBelowBar(const platform::Services& services, TrayModel& model,
                           NativeTrayController& controller, QObject* parent)
    : QObject(parent), m_services(services), m_model(&model), m_controller(controller)
{
    if (!m_services.belowBarPanel)
        return;
    std::weak_ptr<char> alive = m_alive;
    platform::BelowBarPanel::Handlers handlers;
    handlers.activated = [this, alive](int index) {
        if (!alive.expired())
            activated(index);
    };
    handlers.closed = [this, alive] {
        if (!alive.expired())
            panelClosed();
    };
    m_services.belowBarPanel->setHandlers(std::move(handlers));
}

TrayBelowBar::~TrayBelowBar()
{
    shutdown();
}

void TrayBelowBar::shutdown()
{
    m_alive.reset();
    if (!m_services.belowBarPanel)
        return;
    m_services.belowBarPanel->setHandlers({});
    m_services.belowBarPanel->close();
}

bool TrayBelowBar::isShown() const
{
    return m_services.belowBarPanel && m_services.belowBarPanel->isShown() && m_source.has_value();
}

void TrayBelowBar::controllerChanged()
{
    if (m_controller.busy())
        return;
    const bool configured = m_controller.configured() && !m_controller.managing();
    const bool expanded = m_controller.expanded();
    const QSet<QUuid> groups = configured ? m_controller.expandedNamedGroups() : QSet<QUuid>{};
    const QSet<QString> hidden = m_controller.hiddenBundleIDs();

    // What the panel shows went away: the section collapsed, the group closed, or the tray let go.
    if (m_source == Source::Section && (!configured || !expanded))
        close();
    else if (m_source == Source::Group && (!configured || !groups.contains(m_group)))
        close();

    const bool changed =
        m_haveSettled && (configured != m_settledConfigured || expanded != m_settledExpanded ||
                          groups != m_settledGroups || hidden != m_settledHidden);
    std::optional<Reveal> reveal;
    if (changed && configured && m_settledConfigured) {
        if (expanded && !m_settledExpanded) {
            reveal = Reveal{Source::Section, {}};
        } else {
            for (const QUuid& group : groups - m_settledGroups)
                reveal = Reveal{Source::Group, group};
        }
    }
    // The apps this change hid or showed: only their items moved in or out of the bar.
    QSet<QString> changedApps = (hidden - m_settledHidden) + (m_settledHidden - hidden);
    m_haveSettled = true;
    m_settledConfigured = configured;
    m_settledExpanded = expanded;
    m_settledGroups = groups;
    m_settledHidden = hidden;
    if (!changed && !m_pendingPress)
        return;
    // After the work the controller's change started (the delegate's rescan of the apps it showed
    // again), which was posted before this.
    std::weak_ptr<char> alive = m_alive;
    m_services.scheduler->post([this, alive, reveal, changedApps = std::move(changedApps)] {
        if (alive.expired() || !m_model)
            return;
        if (m_controller.perAppMode()) {
            QSet<qint32> processes;
            for (const TrayItem& item : m_model->items()) {
                if (changedApps.contains(item.bundleID()))
                    processes.insert(item.pid);
            }
            m_model->updateOutOfSight(processes);
        } else {
            // The marker's length moves every icon on its left.
            m_model->updateOutOfSight();
        }
        if (m_pendingPress) {
            const TrayItem pending = *std::exchange(m_pendingPress, std::nullopt);
            if (press(pending) && m_services.belowBarPanel)
                m_services.belowBarPanel->closeWhenMenuCloses(pending.pid);
            return;
        }
        if (reveal)
            evaluate(*reveal);
    });
}

bool TrayBelowBar::stillRevealed(const Reveal& reveal) const
{
    if (m_controller.busy() || !m_controller.configured() || m_controller.managing())
        return false;
    if (reveal.source == Source::Group)
        return m_controller.expandedNamedGroups().contains(reveal.group);
    return m_controller.expanded();
}

void TrayBelowBar::evaluate(const Reveal& reveal)
{
    if (!m_model || !m_services.belowBarPanel || !stillRevealed(reveal))
        return;
    const auto mode = TrayBelowBarPreference::load(*m_services.userDefaults);
    if (mode == TrayBelowBarPreference::Mode::Never)
        return;
    QList<TrayItem> items = revealedItems(reveal);
    if (items.isEmpty())
        return;
    const TrayOutOfSight& lost = m_model->outOfSight();
    const bool landedOutOfSight = std::any_of(items.cbegin(), items.cend(),
                                              [&](const TrayItem& item) { return lost.contains(item.id); });
    if (mode == TrayBelowBarPreference::Mode::Automatic && !landedOutOfSight)
        return;
    if (const auto place = anchor(reveal))
        open(reveal.source, reveal.group, std::move(items), *place);
}

QList<TrayItem> TrayBelowBar::revealedItems(const Reveal& reveal) const
{
    const TrayModel& model = *m_model;
    const TrayAppGrouping& grouping = model.namedGrouping();
    const auto revealedBy = [&](const TrayItem& item) {
        if (reveal.source == Source::Group)
            return grouping.memberships.value(item.bundleID()) == reveal.group;
        if (!model.nativePerApp())
            return model.nativeGroups().value(item.id, kDefaultTraySection) == TraySection::expandable;
        return !grouping.memberships.contains(item.bundleID()) &&
               model.appGroups().value(item.bundleID(), kDefaultTraySection) == TraySection::expandable;
    };
    const QHash<QString, QRectF>& frames = model.itemFrames();
    QList<TrayItem> items;
    for (const TrayItem& item : model.items()) {
        // Only what the bar holds now: an item without a frame is not shown at all.
        if (frames.contains(item.id) && revealedBy(item))
            items.append(item);
    }
    std::stable_sort(items.begin(), items.end(), [&](const TrayItem& a, const TrayItem& b) {
        return frames.value(a.id).x() < frames.value(b.id).x();
    });
    return items;
}

std::optional<QRectF> TrayBelowBar::anchor(const Reveal& reveal) const
{
    const platform::StatusItem* button =
        reveal.source == Source::Group ? m_controller.groupItem(reveal.group) : m_controller.chevronItem();
    if (!button)
        return std::nullopt;
    return button->buttonWindowFrame();
}

void TrayBelowBar::showLost()
{
    if (!m_model || !m_services.belowBarPanel)
        return;
    // Only the icons judged lost are looked at again.
    m_model->updateOutOfSight(QSet<qint32>{});
    QList<TrayItem> items;
    for (const TrayOutOfSight::Item& lost : m_model->outOfSight().items) {
        for (const TrayItem& item : m_model->items()) {
            if (item.id == lost.itemID)
                items.append(item);
        }
    }
    if (items.isEmpty())
        return;
    if (const auto place = anchor(Reveal{Source::Lost, {}}))
        open(Source::Lost, {}, std::move(items), *place);
}

void TrayBelowBar::open(Source source, const QUuid& group, QList<TrayItem> items, const QRectF& anchor)
{
    QList<platform::BelowBarPanel::Entry> entries;
    entries.reserve(items.size());
    for (const TrayItem& item : items)
        entries.append(platform::BelowBarPanel::Entry{item.title, item.pid, item.bundleID(), item.icon,
                                                      item.appName, item.label});
    m_source = source;
    m_group = group;
    m_entries = std::move(items);
    m_services.belowBarPanel->show(entries, anchor);
}

void TrayBelowBar::close()
{
    if (m_services.belowBarPanel && m_services.belowBarPanel->isShown())
        m_services.belowBarPanel->close();
    panelClosed();
}

void TrayBelowBar::panelClosed()
{
    m_source.reset();
    m_entries.clear();
}

void TrayBelowBar::activated(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    const TrayItem item = m_entries[index];
    if (press(item)) {
        m_services.belowBarPanel->closeWhenMenuCloses(item.pid);
        return;
    }
    allowThenPress(item);
}

bool TrayBelowBar::openItem(const TrayItem& item)
{
    // A hidden app's item has no element to press; its app is allowed first.
    if (!m_controller.hiddenBundleIDs().contains(item.bundleID()) && press(item))
        return true;
    return allowThenPress(item);
}

bool TrayBelowBar::press(const TrayItem& item)
{
    platform::Accessibility& accessibility = *m_services.accessibility;
    if (accessibility.performAction(item.element, item.action))
        return true;
    if (!m_model)
        return false;
    // The item was shown anew since it was found (its app was allowed again): find its new
    // element, as a scan of its app would.
    const TrayDiscovery::Pass pass = m_model->rescanProcesses({item.pid});
    for (const TrayItem& fresh : pass.items) {
        if (fresh.id == item.id)
            return accessibility.performAction(fresh.element, fresh.action);
    }
    return false;
}

bool TrayBelowBar::allowThenPress(const TrayItem& item)
{
    if (!m_model || !m_controller.perAppMode() || !m_controller.hiddenBundleIDs().contains(item.bundleID()))
        return false;
    const QMap<QString, QUuid>& memberships = m_model->namedGrouping().memberships;
    const auto member = memberships.constFind(item.bundleID());
    const bool grouped =
        member != memberships.cend() && !m_controller.expandedNamedGroups().contains(*member);
    const bool expandable =
        member == memberships.cend() && !m_controller.expanded() &&
        m_model->appGroups().value(item.bundleID(), kDefaultTraySection) == TraySection::expandable;
    m_pendingPress = item;
    if (grouped)
        m_controller.toggleNamed(*member);
    else if (expandable)
        m_controller.toggle();
    // Always hidden: nothing reveals it but a moment of its own.
    else if (!m_controller.peek(item.bundleID()))
        m_pendingPress.reset();
    return m_pendingPress.has_value();
}

} // namespace velmor
