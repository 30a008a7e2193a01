#include "tray/tray_auto_hide.h"

#include "platform/below_bar_panel.h"
#include "platform/host.h"
#include "platform/scheduler.h"
#include "platform/screen_geometry.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_model.h"
#include "tray/tray_reveal_preferences.h"

namespace velmor {
namespace {

// The pointer counts as over the icons a little beyond their edges, as a person aims.
constexpr double pointerMargin = 2;

} // namespace

TrayAutoHide::TrayAutoHide(const platform::Services& services, TrayModel& model,
                           NativeTrayController& controller, TrayRevealPreferences& preferences,
                           QObject* parent)
    : QObject(parent), m_services(services), m_model(&model), m_controller(controller),
      m_preferences(&preferences)
{
    connect(&preferences, &TrayRevealPreferences::changed, this, [this] {
        if (m_armed)
            restart();
    });
    if (m_services.workspace) {
        QPointer<TrayAutoHide> self(this);
        m_activations = m_services.workspace->observeDidActivate([self](qint32 pid) {
            if (self)
                self->activated(pid);
        });
    }
}

TrayAutoHide::~TrayAutoHide()
{
    stopWatching();
    m_countdown.cancel();
    if (m_activations && m_services.workspace)
        m_services.workspace->removeObserver(*m_activations);
}

int TrayAutoHide::delaySeconds() const
{
    return m_preferences ? m_preferences->rehideDelay() : 0;
}

void TrayAutoHide::controllerChanged()
{
    if (m_controller.busy())
        return;
    const bool configured = m_controller.configured() && !m_controller.managing();
    const bool revealing = m_controller.revealing();
    const bool expanded = m_controller.expanded();
    const QSet<QString> revealed = m_controller.revealedBundleIDs();
    // Only a reveal from a settled, applied grouping counts: not what a launch restores, and not
    // what "Reveal all" (which lets go of grouping) shows.
    const bool grew = m_settled && m_configured && configured && revealing &&
                      ((expanded && !m_expanded) || !(revealed - m_revealed).isEmpty());
    m_settled = true;
    m_configured = configured;
    m_expanded = expanded;
    m_revealed = revealed;
    if (!revealing) {
        disarm();
        return;
    }
    if (grew) {
        arm();
        return;
    }
    if (!m_armed)
        return;
    watchMenus();
    if (std::exchange(m_due, false))
        hide();
}

void TrayAutoHide::arm()
{
    m_armed = true;
    m_due = false;
    if (m_services.mouseEvents && !m_globalMoves) {
        QPointer<TrayAutoHide> self(this);
        const auto moved = [self](const platform::MouseEvent& event) {
            if (self)
                self->pointerMoved(event.location);
        };
        m_globalMoves =
            m_services.mouseEvents->addGlobalMonitor(platform::MouseEvents::mouseMovedMask, moved);
        m_localMoves = m_services.mouseEvents->addLocalMonitor(platform::MouseEvents::mouseMovedMask, moved);
    }
    watchMenus();
    restart();
}

void TrayAutoHide::disarm()
{
    m_armed = false;
    m_due = false;
    m_pointerInside = false;
    m_openMenus.clear();
    m_countdown.cancel();
    stopWatching();
}

void TrayAutoHide::stopWatching()
{
    if (m_services.accessibility) {
        for (const auto observer : std::as_const(m_menuObservers))
            m_services.accessibility->removeMenuObserver(observer);
    }
    m_menuObservers.clear();
    for (auto* monitor : {&m_globalMoves, &m_localMoves}) {
        if (*monitor && m_services.mouseEvents)
            m_services.mouseEvents->removeMonitor(**monitor);
        monitor->reset();
    }
}

void TrayAutoHide::restart()
{
    m_countdown.cancel();
    m_pointerInside = m_services.mouseEvents && pointerOver(m_services.mouseEvents->pointerLocation());
    if (!m_armed || delaySeconds() <= 0 || held())
        return;
    QPointer<TrayAutoHide> self(this);
    m_countdown = m_services.scheduler->after(platform::seconds(delaySeconds()), [self] {
        if (self)
            self->countdownEnded();
    });
}

void TrayAutoHide::countdownEnded()
{
    if (!m_armed)
        return;
    // The pointer may have come without a move anyone saw (onto the app's own panel, say).
    if (held()) {
        m_pointerInside = m_services.mouseEvents && pointerOver(m_services.mouseEvents->pointerLocation());
        return;
    }
    hide();
}

void TrayAutoHide::hide()
{
    if (m_controller.busy()) {
        m_due = true;
        return;
    }
    m_controller.collapse();
}

bool TrayAutoHide::held() const
{
    if (!m_openMenus.isEmpty())
        return true;
    return m_services.mouseEvents && pointerOver(m_services.mouseEvents->pointerLocation());
}

void TrayAutoHide::pointerMoved(QPointF point)
{
    if (!m_armed)
        return;
    const bool inside = pointerOver(point);
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    if (inside)
        m_countdown.cancel();
    else if (m_openMenus.isEmpty())
        restart();
}

void TrayAutoHide::menuChanged(qint32 pid, bool open)
{
    if (!m_armed)
        return;
    if (open) {
        m_openMenus.insert(pid);
        m_countdown.cancel();
        return;
    }
    m_openMenus.remove(pid);
    if (m_openMenus.isEmpty())
        restart();
}

void TrayAutoHide::activated(qint32 pid)
{
    // The tray's own windows (the search, the organizer) come forward without the person leaving.
    if (!m_armed || delaySeconds() <= 0 || (m_services.host && pid == qint32(m_services.host->processId())))
        return;
    if (!held())
        hide();
}

void TrayAutoHide::watchMenus()
{
    if (!m_services.accessibility)
        return;
    const QSet<qint32> processes = revealedProcesses();
    for (auto it = m_menuObservers.begin(); it != m_menuObservers.end();) {
        if (processes.contains(it.key())) {
            ++it;
            continue;
        }
        m_services.accessibility->removeMenuObserver(it.value());
        m_openMenus.remove(it.key());
        it = m_menuObservers.erase(it);
    }
    QPointer<TrayAutoHide> self(this);
    for (const qint32 pid : processes) {
        if (m_menuObservers.contains(pid))
            continue;
        const auto observer = m_services.accessibility->observeMenus(pid, [self, pid](bool open) {
            if (self)
                self->menuChanged(pid, open);
        });
        if (observer != 0)
            m_menuObservers.insert(pid, observer);
    }
}

QSet<qint32> TrayAutoHide::revealedProcesses() const
{
    QSet<qint32> processes;
    if (!m_model)
        return processes;
    const QSet<QString> revealed = m_controller.revealedBundleIDs();
    for (const TrayItem& item : m_model->items()) {
        const bool shown = m_controller.perAppMode()
                               ? revealed.contains(item.bundleID())
                               : m_model->nativeGroups().value(item.id) == TraySection::expandable;
        if (shown)
            processes.insert(item.pid);
    }
    return processes;
}

std::optional<QRectF> TrayAutoHide::revealedArea() const
{
    std::optional<QRectF> area;
    const auto include = [&](const QRectF& frame) { area = area ? area->united(frame) : frame; };
    if (const platform::StatusItem* chevron = m_controller.chevronItem()) {
        if (const auto frame = chevron->buttonWindowFrame())
            include(*frame);
    }
    for (const QUuid& group : m_controller.expandedNamedGroups()) {
        const platform::StatusItem* button = m_controller.groupItem(group);
        if (const auto frame = button ? button->buttonWindowFrame() : std::nullopt)
            include(*frame);
    }
    if (!m_model || !m_services.screens)
        return area;
    const QList<QRectF> screens = m_services.screens->frames();
    const QSet<QString> revealed = m_controller.revealedBundleIDs();
    for (const TrayItem& item : m_model->items()) {
        const bool shown = m_controller.perAppMode()
                               ? revealed.contains(item.bundleID())
                               : m_model->nativeGroups().value(item.id) == TraySection::expandable;
        const auto found = m_model->itemFrames().constFind(item.id);
        if (!shown || found == m_model->itemFrames().cend())
            continue;
        if (const auto frame = platform::ScreenGeometry::toScreen(*found, screens))
            include(*frame);
    }
    return area;
}

bool TrayAutoHide::pointerOver(QPointF point) const
{
    if (m_services.belowBarPanel) {
        if (const auto panel = m_services.belowBarPanel->frame(); panel && panel->contains(point))
            return true;
    }
    const auto area = revealedArea();
    return area &&
           area->adjusted(-pointerMargin, -pointerMargin, pointerMargin, pointerMargin).contains(point);
}

} // namespace velmor
