#include "tray/tray_delegate.h"

#include "platform/accessibility.h"
#include "platform/application_shell.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/workspace.h"
#include "suite_ui/dock_presence.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_auto_hide.h"
#include "tray/tray_below_bar.h"
#include "tray/tray_discovery.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_model.h"
#include "tray/tray_own_items_keeper.h"
#include "tray/tray_place_keeper.h"
#include "tray/tray_pointer_reveal.h"
#include "tray/tray_search.h"

namespace velmor {

TrayDelegate::TrayDelegate(const platform::Services& services, QObject* parent)
    : QObject(parent), m_services(services), m_revealPreferences(*services.userDefaults),
      m_arrangementPreferences(*services.userDefaults)
{}

TrayDelegate::~TrayDelegate() = default;

void TrayDelegate::configure(TrayModel* model, std::function<void()> openSettings,
                             std::function<void()> openSearch)
{
    if (m_controller || !model)
        return;
    m_model = model;
    QPointer<TrayDelegate> self(this);
    platform::ApplicationShell* shell = m_services.applicationShell;
    const std::function<void()> openApp = openSettings;
    m_controller = std::make_unique<NativeTrayController>(
        m_services, QString::fromLatin1(autosavePrefix), *m_services.userDefaults,
        [self] {
            if (self)
                self->updateState();
        },
        std::move(openSettings), [shell] { shell->terminate(); });

    QPointer<TrayModel> weakModel(model);
    m_controller->setManualDragItems(
        [weakModel] { return weakModel ? weakModel->items() : QList<TrayItem>{}; });
    m_controller->setOnManualGroupChange([weakModel](const QString& bundleID, TraySection section) {
        if (weakModel)
            weakModel->applyManualNativeGroup(bundleID, section);
    });
    installHooks();

    if (m_controller->perAppMode()) {
        m_controller->invalidateManualDrag();
        m_controller->setNamedGrouping(model->namedGrouping());
        m_controller->syncNamedItems();
        m_controller->setAppGroupsWithoutApplying(model->appGroups());
        model->hooks().arrangeNative = [self] {
            if (self && self->m_controller && self->m_controller->perAppMode())
                self->m_controller->applyVisibility(false, QSet<QUuid>{}, true, false);
        };
    }
    model->hooks().finishNative = [self] {
        if (!self || !self->m_controller)
            return;
        self->readGroups();
        self->m_controller->endManaging();
    };
    model->hooks().readNativeGroups = [self] {
        if (self)
            self->readGroups();
    };
    if (m_services.belowBarPanel) {
        m_belowBar = std::make_unique<TrayBelowBar>(m_services, *model, *m_controller);
        model->hooks().showBelowBar = [self] {
            if (self && self->m_belowBar)
                self->m_belowBar->showLost();
        };
    }
    if (openSearch)
        m_controller->setSearchAction(std::move(openSearch));
    m_search = std::make_unique<TraySearch>(*model, *m_controller, m_belowBar.get());
    m_search->setOpenApp(openApp);
    m_autoHide = std::make_unique<TrayAutoHide>(m_services, *model, *m_controller, m_revealPreferences);
    m_pointerReveal =
        std::make_unique<TrayPointerReveal>(m_services, *model, *m_controller, m_revealPreferences);
    m_ownItems = std::make_unique<TrayOwnItemsKeeper>(m_services, *model, *m_controller);
    connect(model, &TrayModel::outOfSightJudged, m_ownItems.get(), &TrayOwnItemsKeeper::check);
    model->hooks().makeRoomForChevron = [self] {
        if (self && self->m_ownItems)
            self->m_ownItems->acceptOffer();
    };

    m_displayLayouts = std::make_unique<TrayDisplayLayouts>(m_services, *model, *m_controller);
    m_placeKeeper = std::make_unique<TrayPlaceKeeper>(m_services, *m_controller, [weakModel](const QString& failed) {
        if (weakModel)
            weakModel->setMessage(failed);
    });

    updateState();
    // The layout for these displays is taken into the grouping before the first look, so a start
    // on other displays than the last one begins from the right arrangement.
    m_displayLayouts->start();
    model->start();
    if (m_controller->perAppMode() && m_arrangementPreferences.applyAtStart()) {
        // As the bar's own restore does in marker mode: the apps' icons have a moment to appear.
        m_services.scheduler->after(platform::seconds(NativeTrayController::launchRestoreDelay), [self] {
            if (self)
                self->applyAtStart();
        });
    }
}

void TrayDelegate::applyAtStart()
{
    if (!m_controller || !m_model || !m_controller->perAppMode() || m_controller->configured() ||
        m_controller->busy())
        return;
    m_controller->applyVisibility(false, m_displayLayouts->openGroupsAtStart(), true, false);
}

void TrayDelegate::installHooks()
{
    QPointer<TrayDelegate> self(this);
    // Each hook looks up the controller when it runs and does nothing without one.
    auto withController = [self](std::function<void(NativeTrayController&)> action) {
        return [self, action = std::move(action)] {
            if (self && self->m_controller)
                action(*self->m_controller);
        };
    };
    TrayModel::Hooks& hooks = m_model->hooks();
    hooks.toggleNative = withController([](NativeTrayController& controller) { controller.toggle(); });
    hooks.arrangeNative = withController([self](NativeTrayController& controller) {
        controller.beginManaging();
        const QPointer<TrayDelegate> delegate = self;
        delegate->m_services.scheduler->after(platform::seconds(arrangeRefreshDelay), [delegate] {
            if (delegate && delegate->m_model)
                delegate->m_model->refresh();
        });
    });
    hooks.toggleNamedGroup = [self](const QUuid& id) {
        if (self && self->m_controller)
            self->m_controller->toggleNamed(id);
    };
    // Automatic organisation and restoring reapply the state the tray is in now.
    auto reapply = [](NativeTrayController& controller, bool arrange, bool restore) {
        if (!controller.perAppMode() || controller.busy())
            return;
        const bool configured = controller.configured();
        controller.applyVisibility(configured && controller.expanded(),
                                   configured ? controller.expandedNamedGroups() : QSet<QUuid>{}, arrange,
                                   restore);
    };
    hooks.organizeAutomatically =
        withController([reapply](NativeTrayController& controller) { reapply(controller, true, false); });
    hooks.restorePreviousOrder =
        withController([reapply](NativeTrayController& controller) { reapply(controller, false, true); });
    hooks.revealNative =
        withController([](NativeTrayController& controller) { controller.revealAll(std::nullopt); });
    hooks.appGroupsChanged = withController([self](NativeTrayController& controller) {
        if (self->m_model)
            controller.setAppGroups(self->m_model->appGroups(), self->m_model->namedGrouping(), true);
    });
    hooks.appGroupsLearned = withController([self](NativeTrayController& controller) {
        if (self->m_model)
            controller.setAppGroups(self->m_model->appGroups(), self->m_model->namedGrouping(),
                                    controller.configured() || controller.busy());
    });
}

void TrayDelegate::updateState()
{
    if (!m_controller || !m_model)
        return;
    const bool wasBusy = m_model->nativeBusy();
    const bool wasConfigured = m_model->nativeConfigured();
    m_model->setExpandedNamedGroups(m_controller->expandedNamedGroups());
    m_model->setNativePerApp(m_controller->osMajor() > 26);
    m_model->setNativeBusy(m_controller->busy());
    m_model->setNativeExpanded(m_controller->expanded());
    m_model->setNativeManaging(m_controller->managing());
    m_model->setNativeConfigured(m_controller->configured());
    m_model->setNativeWarning(m_controller->warning());
    if (m_controller->perAppMode())
        refreshItemsAroundRequests(wasBusy, wasConfigured);
    if (m_belowBar)
        m_belowBar->controllerChanged();
    if (m_autoHide)
        m_autoHide->controllerChanged();
    if (m_search)
        m_search->controllerChanged();
    if (m_placeKeeper)
        m_placeKeeper->controllerChanged();
    // A request that ended may have left the app's own items elsewhere (the chevron re-made,
    // the bar's order rewritten): they are looked at once the change has settled.
    if (m_ownItems && wasBusy && !m_controller->busy()) {
        QPointer<TrayOwnItemsKeeper> keeper(m_ownItems.get());
        m_services.scheduler->post([keeper] {
            if (keeper)
                keeper->check();
        });
    }
}

// The controller confirms requests and follows command-drags through the model's items, so around
// every request the items are brought up to date, but only for the apps the request changes: each
// scan is a round of messages to other apps on the main thread, and a slow app must not hold up a
// click that does not concern it. Before a request every app it hides must have its icons among
// the items, or they would escape the confirmation; after it (and after a reveal-all) the apps it
// showed again have new elements.
void TrayDelegate::refreshItemsAroundRequests(bool wasBusy, bool wasConfigured)
{
    const NativeTrayController& controller = *m_controller;
    if (controller.busy() && controller.activationGeneration() != m_scannedGeneration) {
        m_scannedGeneration = controller.activationGeneration();
        // Apps hidden since their last scan have nothing to find until they show again.
        rescan(processesOf(controller.requestedHidden() - m_hiddenSinceScan, true));
        m_hiddenSinceScan.unite(controller.requestedFirstPhaseHidden());
        return;
    }
    const bool ended = wasBusy && !controller.busy();
    if (!ended && !(wasConfigured && !controller.configured()))
        return;
    QPointer<TrayDelegate> self(this);
    m_services.scheduler->post([self] {
        if (self && self->m_model && self->m_controller)
            self->rescanShownApps();
    });
}

void TrayDelegate::rescanShownApps()
{
    // A newer request looks again when it ends.
    if (m_controller->busy())
        return;
    const QSet<QString> hidden = m_controller->hiddenBundleIDs();
    const QSet<QString> shown = m_hiddenSinceScan - hidden;
    m_hiddenSinceScan.intersect(hidden);
    rescan(processesOf(shown, false));
}

QSet<qint32> TrayDelegate::processesOf(const QSet<QString>& bundleIDs, bool unscanned)
{
    QSet<qint32> scanned;
    if (unscanned) {
        for (const TrayItem& item : m_model->items())
            scanned.insert(item.pid);
    }
    QSet<qint32> running;
    QSet<qint32> result;
    for (const platform::RunningApplication& app : m_services.workspace->runningApplications()) {
        if (app.terminated)
            continue;
        running.insert(app.processIdentifier);
        if (app.bundleIdentifier && bundleIDs.contains(*app.bundleIdentifier) &&
            !scanned.contains(app.processIdentifier) && !m_iconless.contains(app.processIdentifier))
            result.insert(app.processIdentifier);
    }
    // A process identifier the system gives out again belongs to another app.
    m_iconless.intersect(running);
    return result;
}

void TrayDelegate::rescan(const QSet<qint32>& processes)
{
    if (processes.isEmpty())
        return;
    const TrayDiscovery::Pass pass = m_model->rescanProcesses(processes);
    QSet<qint32> withIcons;
    for (const TrayItem& item : pass.items)
        withIcons.insert(item.pid);
    for (const qint32 pid : pass.seen) {
        if (withIcons.contains(pid))
            m_iconless.remove(pid);
        else
            m_iconless.insert(pid);
    }
}

void TrayDelegate::readGroups()
{
    if (!m_model || !m_controller)
        return;
    NativeTrayController& controller = *m_controller;
    if (controller.perAppMode()) {
        if (!m_services.accessibility->isProcessTrusted() && (controller.configured() || controller.busy()))
            controller.revealAll(QString::fromUtf8(trustChangedMessage));
        return;
    }
    if ((!controller.managing() && controller.configured()) || !controller.validOrder())
        return;
    TraySectionMap sections;
    for (const TrayItem& item : m_model->items()) {
        const auto frame = TrayDiscovery::frame(m_services, item);
        if (!frame)
            continue;
        if (const auto section = controller.classify(*frame))
            sections.insert(item.id, *section);
    }
    m_model->setNativeGroups(sections);
}

void TrayDelegate::applicationDidFinishLaunching()
{
    if (DockPresence* dock = DockPresence::shared())
        dock->start();
}

void TrayDelegate::applicationWillTerminate()
{
    // Nothing hides, reveals or switches layouts by itself while the tray lets go.
    m_displayLayouts.reset();
    m_placeKeeper.reset();
    m_pointerReveal.reset();
    m_autoHide.reset();
    if (m_belowBar)
        m_belowBar->shutdown();
    if (m_controller)
        m_controller->shutdown();
}

} // namespace velmor
