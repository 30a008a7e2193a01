// Per-app visibility: requests, their confirmation on screen, reveal-all and the reaction to
// changed groups and launched applications.

#include "foundation/error_value.h"
#include "platform/accessibility.h"
#include "platform/host.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_discovery.h"
#include "tray/tray_group_target.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QPointer>

namespace velmor {
// What one applyVisibility call hands to its completion and its confirmation.
struct NativeTrayController::Request {
    quint64 generation = 0;
    bool arrange = false;
    bool restoreOrder = false;
    bool chevronMoved = false;
    QSet<QString> hidden;
    QSet<QString> firstPhaseHidden;
    QSet<QString> known;
    QSet<QString> running;
    QString ownBundleID;
    QSet<QUuid> named;
    bool expanded = true;
};

TrayPreferenceVisibility& NativeTrayController::visibility()
{
    if (!m_visibility)
        m_visibility = std::make_unique<TrayPreferenceVisibility>(*m_services.host, *m_services.workspace);
    return *m_visibility;
}

TrayPositionPreferences& NativeTrayController::positions()
{
    if (!m_positions)
        m_positions = std::make_unique<TrayPositionPreferences>(*m_services.host, *m_services.workspace);
    return *m_positions;
}

QString NativeTrayController::chevronKey() const
{
    return text(statusKeyPrefix) + ownBundleID() + text(statusKeySeparator) + m_autosavePrefix +
           text(regularSuffix);
}

QSet<QString> NativeTrayController::hidden(bool expanded, const QSet<QUuid>& named) const
{
    return m_namedGrouping.hiddenBundles(m_appGroups, expanded, named) - m_peek;
}

QSet<QString> NativeTrayController::revealedBundleIDs() const
{
    if (!perAppMode() || !m_configured)
        return {};
    return m_namedGrouping.hiddenBundles(m_appGroups, false, {}) - hiddenBundleIDs();
}

bool NativeTrayController::revealing() const
{
    if (!m_configured || m_managing)
        return false;
    if (!perAppMode())
        return m_expanded;
    return m_expanded || !m_expandedNamedGroups.isEmpty() || !m_peek.isEmpty();
}

bool NativeTrayController::collapse()
{
    if (m_busy || !revealing())
        return false;
    if (!perAppMode()) {
        m_expanded = false;
        apply();
        recordCollapse();
        return true;
    }
    m_peek.clear();
    applyVisibility(false, QSet<QUuid>{}, false, false);
    return true;
}

bool NativeTrayController::peek(const QString& bundleID)
{
    if (!perAppMode() || m_busy || !m_configured || bundleID.isEmpty())
        return false;
    m_peek = {bundleID};
    applyVisibility(m_expanded, m_expandedNamedGroups, false, false);
    return true;
}

QSet<QString> NativeTrayController::hiddenBundleIDs() const
{
    return m_configured ? hidden(m_expanded, m_expandedNamedGroups) : QSet<QString>{};
}

QSet<QString> NativeTrayController::known() const
{
    QSet<QString> result;
    for (auto it = m_appGroups.cbegin(); it != m_appGroups.cend(); ++it)
        result.insert(it.key());
    for (auto it = m_namedGrouping.memberships.cbegin(); it != m_namedGrouping.memberships.cend(); ++it)
        result.insert(it.key());
    return result;
}

QSet<QString> NativeTrayController::running() const
{
    QSet<QString> result = m_launchedBundleIDs;
    for (const platform::RunningApplication& app : m_services.workspace->runningApplications()) {
        if (app.bundleIdentifier)
            result.insert(*app.bundleIdentifier);
    }
    return result;
}

bool NativeTrayController::automaticOrder() const
{
    return m_defaults.boolValue(m_preferenceKey + text(automaticOrderSuffix)).value_or(false);
}

void NativeTrayController::setAutomaticOrder(bool value)
{
    const QString key = m_preferenceKey + text(automaticOrderSuffix);
    if (m_defaults.boolValue(key) != value)
        m_defaults.setValue(key, value);
}

void NativeTrayController::applyVisibility(bool expanded, const std::optional<QSet<QUuid>>& namedExpanded,
                                           bool arrange, bool restoreOrder)
{
    invalidateManualDrag();
    if (!trusted() || !m_services.host->mainBundle().identifier()) {
        revealAll(text(unsupportedWarning));
        return;
    }
    const QSet<QUuid> named = namedExpanded.value_or(m_expandedNamedGroups);
    const QSet<QString> target = hidden(expanded, named);
    const QSet<QString> allGrouped = hidden(false, {});
    const QSet<QString> knownApps = known();

    if (!arrange && !restoreOrder && automaticOrder() && m_configured) {
        // Icons that come back must come back left of the chevron, where the user expects them.
        // This runs before the generation moves on: when it fails, a request already in flight
        // has made its first step in the system and must still be confirmed, or the controller
        // would report a state the bar no longer shows.
        const QSet<QString> revealed = hidden(m_expanded, m_expandedNamedGroups) - target;
        if (!revealed.isEmpty()) {
            try {
                positions().arrange(
                    {revealed, knownApps - allGrouped, chevronKey(), true, groupControlKeys(), false});
            } catch (...) {
                m_warning = text(orderUpkeepPrefix) + ErrorValue::current().description();
                updateNamedLabels();
                if (m_onChange)
                    m_onChange();
                return;
            }
        }
    }

    const quint64 generation = ++m_activationGeneration;
    auto request = std::make_shared<Request>();
    request->generation = generation;
    request->arrange = arrange;
    request->restoreOrder = restoreOrder;
    request->hidden = target;
    request->known = knownApps;
    request->running = running();
    request->ownBundleID = ownBundleID();
    request->named = named;
    request->expanded = expanded;
    // After a rearrangement every known app is hidden first, while the new positions take effect.
    request->firstPhaseHidden = arrange || restoreOrder ? knownApps : target;

    m_requestedExpanded = expanded;
    m_requestedNamed = named;
    m_requestedHidden = request->hidden;
    m_requestedFirstPhaseHidden = request->firstPhaseHidden;
    m_busy = true;
    updateNamedLabels();
    m_warning.reset();
    if (m_onChange)
        m_onChange();

    try {
        if (restoreOrder) {
            positions().restore();
            request->chevronMoved = true;
            setAutomaticOrder(false);
        } else if (arrange) {
            const TrayPositionPlan plan = positions().arrange(
                {allGrouped, knownApps - allGrouped, chevronKey(), false, groupControlKeys(), false});
            request->chevronMoved = plan.chevronMoved;
            setAutomaticOrder(true);
        }
    } catch (...) {
        revealAll(text(organizeFailurePrefix) + ErrorValue::current().description());
        return;
    }

    QPointer<NativeTrayController> self(this);
    visibility().apply(request->firstPhaseHidden, knownApps - request->firstPhaseHidden, request->running,
                       request->ownBundleID, [self, request](std::optional<ErrorValue> error) {
                           if (self)
                               self->complete(request,
                                              error ? std::optional(error->description()) : std::nullopt);
                       });
}

void NativeTrayController::complete(const std::shared_ptr<Request>& request,
                                    const std::optional<QString>& error)
{
    if (m_activationGeneration != request->generation)
        return;
    if (error) {
        revealAll(error);
        return;
    }
    if (!trusted()) {
        revealAll(text(trustLostWarning));
        return;
    }
    confirm(request);
}

void NativeTrayController::afterRequest(double delay, const std::shared_ptr<Request>& request,
                                        std::function<void()> step)
{
    QPointer<NativeTrayController> self(this);
    m_services.scheduler->after(platform::seconds(delay), [self, request, step = std::move(step)] {
        if (self && self->m_activationGeneration == request->generation)
            step();
    });
}

void NativeTrayController::confirm(const std::shared_ptr<Request>& request)
{
    afterRequest(confirmationDelay, request, [this, request] {
        if (!request->arrange && !request->restoreOrder) {
            confirmAttempt(request, 1);
            return;
        }
        auto secondPhase = [this, request] {
            if (m_activationGeneration != request->generation)
                return;
            if (request->hidden != request->firstPhaseHidden) {
                std::optional<QString> failure;
                visibility().apply(request->hidden, request->known - request->hidden, request->running,
                                   request->ownBundleID, [&failure](std::optional<ErrorValue> error) {
                                       if (error)
                                           failure = error->description();
                                   });
                if (failure) {
                    revealAll(failure);
                    return;
                }
            }
            afterRequest(confirmationDelay, request, [this, request] { confirmAttempt(request, 1); });
        };
        if (request->chevronMoved)
            reloadChevronPosition(secondPhase);
        else
            secondPhase();
    });
}

void NativeTrayController::confirmAttempt(const std::shared_ptr<Request>& request, int attempt)
{
    // Only the icons of apps that must be hidden can fail the check, so only they are asked about.
    QList<TrayItem> checked;
    for (const TrayItem& item : m_manualDragItems()) {
        if (request->hidden.contains(item.bundleID()))
            checked.append(item);
    }
    const QSet<QString> showing = TrayDiscovery::visibleBundleIDs(m_services, checked);
    if (!showing.intersects(request->hidden)) {
        succeed(request);
        return;
    }
    if (attempt >= confirmationAttempts) {
        revealAll(text(notUpdatedWarning));
        return;
    }
    afterRequest(confirmationDelay, request,
                 [this, request, attempt] { confirmAttempt(request, attempt + 1); });
}

void NativeTrayController::succeed(const std::shared_ptr<Request>& request)
{
    if (!trusted()) {
        revealAll(text(trustLostWarning));
        return;
    }
    m_busy = false;
    m_configured = true;
    m_expandedNamedGroups = request->named;
    const bool wasExpanded = m_expanded;
    m_expanded = request->expanded;
    apply();
    if (wasExpanded && !m_expanded)
        recordCollapse();
}

void NativeTrayController::revealAll(const std::optional<QString>& message)
{
    invalidateManualDrag();
    m_peek.clear();
    if (!perAppMode()) {
        beginManaging();
        return;
    }
    ++m_activationGeneration;
    const std::optional<ErrorValue> released = visibility().release();
    m_busy = false;
    m_configured = false;
    m_managing = false;
    m_expanded = true;
    m_warning = released ? std::optional(released->description()) : message;
    apply();
}

void NativeTrayController::setAppGroups(const TraySectionMap& sections, const TrayAppGrouping& named,
                                        bool applyImmediately)
{
    invalidateManualDrag();
    m_peek.clear();
    m_namedGrouping = named;
    syncNamedItems();
    m_appGroups = sections;
    if (!perAppMode() || !applyImmediately)
        return;

    bool expanded = m_expanded;
    QSet<QUuid> groups = m_expandedNamedGroups;
    if (m_busy) {
        expanded = m_requestedExpanded;
        groups = m_requestedNamed;
    } else if (!m_configured) {
        applyVisibility(false, QSet<QUuid>{}, true, false);
        return;
    }
    QSet<QUuid> existing;
    for (const TrayNamedGroup& group : named.groups)
        existing.insert(group.id);
    applyVisibility(expanded, groups & existing, true, false);
}

void NativeTrayController::installLaunchObserver()
{
    QPointer<NativeTrayController> self(this);
    m_workspaceObserver =
        m_services.workspace->observeDidLaunch([self](const platform::RunningApplication& app) {
            if (!self || (!self->m_configured && !self->m_busy))
                return;
            if (app.bundleIdentifier)
                self->m_launchedBundleIDs.insert(*app.bundleIdentifier);
            const bool busy = self->m_busy;
            self->applyVisibility(busy ? self->m_requestedExpanded : self->m_expanded,
                                  busy ? self->m_requestedNamed : self->m_expandedNamedGroups, false, false);
        });
}

std::optional<QString> NativeTrayController::placeOwnItemsAtRightEnd(std::function<void()> done)
{
    TrayPositionPlan planned;
    try {
        planned = positions().placeAtRightEnd(QStringList{chevronKey()} + groupControlKeys());
    } catch (...) {
        return ErrorValue::current().description();
    }
    const QString separator = text(statusKeySeparator);
    for (const TrayPositionChange& change : planned.changes) {
        const QString autosaveName = change.key.mid(change.key.indexOf(separator) + separator.size());
        m_defaults.setValue(platform::StatusBar::preferredPositionKey(autosaveName), change.applied);
    }
    if (planned.changes.isEmpty()) {
        if (done)
            done();
        return std::nullopt;
    }
    reloadOwnItems(std::move(done));
    return std::nullopt;
}

QHash<QString, double> NativeTrayController::otherItemsPlaces()
{
    QHash<QString, double> places;
    try {
        places = positions().read();
    } catch (...) {
        return {};
    }
    const QString own = text(statusKeyPrefix) + ownBundleID() + text(statusKeySeparator);
    for (auto it = places.begin(); it != places.end();) {
        if (it.key().startsWith(own))
            it = places.erase(it);
        else
            ++it;
    }
    return places;
}

std::variant<int, QString> NativeTrayController::placeAgain(const QHash<QString, double>& places)
{
    try {
        return int(positions().placeAgain(places).changes.size());
    } catch (...) {
        return ErrorValue::current().description();
    }
}

std::optional<QString> NativeTrayController::placeChevronRightOf(const QString& key,
                                                                 std::function<void()> done)
{
    TrayPositionPlan planned;
    try {
        planned = positions().placeRightOf(chevronKey(), key);
    } catch (...) {
        return ErrorValue::current().description();
    }
    for (const TrayPositionChange& change : planned.changes)
        m_defaults.setValue(platform::StatusBar::preferredPositionKey(m_autosavePrefix + text(regularSuffix)),
                            change.applied);
    reloadChevronPosition(std::move(done));
    return std::nullopt;
}

void NativeTrayController::reloadChevronPosition(std::function<void()> done)
{
    const std::shared_ptr<platform::StatusItem> item = m_regularItem;
    const QString name = item ? item->autosaveName() : QString();
    if (!item || name.isEmpty()) {
        if (done)
            done();
        return;
    }
    item->setAutosaveName(QString());
    m_services.statusBar->removeItem(item);
    m_regularItem = createChevronItem(name);
    updateLabels();
    QPointer<NativeTrayController> self(this);
    m_services.scheduler->after(platform::seconds(chevronReloadDelay), [self, done = std::move(done)] {
        if (self && done)
            done();
    });
}

void NativeTrayController::shutdown()
{
    invalidateManualDrag();
    // A request still in flight must not hide anything again after the release below.
    ++m_activationGeneration;
    for (auto* monitor : {&m_globalDragMonitor, &m_localDragMonitor}) {
        if (*monitor)
            m_services.mouseEvents->removeMonitor(**monitor);
        monitor->reset();
    }
    if (perAppMode())
        (void)visibility().release();
    for (const auto& item : std::as_const(m_namedItems))
        m_services.statusBar->removeItem(item);
    m_namedItems.clear();
    m_namedTargets.clear();
    if (m_workspaceObserver)
        m_services.workspace->removeObserver(*m_workspaceObserver);
    m_workspaceObserver.reset();
    m_restorationTask.cancel();
    m_restorationTask = {};
    for (auto* item : {&m_hiddenItem, &m_regularItem}) {
        if (*item)
            m_services.statusBar->removeItem(*item);
        item->reset();
    }
}

} // namespace velmor
