// Command-drags across the chevron: moving an app between the expandable and the always-visible
// sections by dragging its icon in the menu bar.

#include "platform/accessibility.h"
#include "platform/screen_geometry.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "platform/workspace.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_discovery.h"
#include "tray/tray_manual_drag_policy.h"

#include <QPointer>

#include <cmath>

namespace velmor {

using Policy = TrayManualDragPolicy;

void NativeTrayController::installMouseMonitors()
{
    QPointer<NativeTrayController> self(this);
    platform::Scheduler* scheduler = m_services.scheduler;
    // The monitors only capture the event's values; the state machine runs as a main-thread task.
    auto handler = [self, scheduler](const platform::MouseEvent& event) {
        scheduler->post([self, event] {
            if (self)
                self->handleManualDrag(event.type, event.command, event.location);
        });
    };
    m_globalDragMonitor =
        m_services.mouseEvents->addGlobalMonitor(platform::MouseEvents::leftButtonMask, handler);
    m_localDragMonitor =
        m_services.mouseEvents->addLocalMonitor(platform::MouseEvents::leftButtonMask, handler);
}

void NativeTrayController::invalidateManualDrag()
{
    ++m_manualDragToken;
    m_manualDrag.reset();
    m_manualDragTask.cancel();
    m_manualDragTask = {};
    m_manualDragQuietUntil = m_services.scheduler->now() + platform::seconds(dragQuietPeriod);
}

std::optional<QRectF> NativeTrayController::screenFrame(const TrayItem& item) const
{
    const QList<QRectF> screens = m_services.screens->frames();
    if (screens.isEmpty())
        return std::nullopt;
    const auto frame = TrayDiscovery::frame(m_services, item);
    if (!frame)
        return std::nullopt;
    return platform::ScreenGeometry::toScreen(*frame, screens);
}

void NativeTrayController::handleManualDrag(platform::MouseEventType type, bool command, QPointF point)
{
    if (!perAppMode())
        return;
    switch (type) {
    case platform::MouseEventType::LeftMouseDown: {
        m_manualDragTask.cancel();
        m_manualDragTask = {};
        ++m_manualDragToken;
        m_manualDrag.reset();
        if (!command || m_busy || m_services.scheduler->now() < m_manualDragQuietUntil || !trusted())
            return;
        const auto boundary = m_regularItem ? m_regularItem->buttonWindowFrame() : std::nullopt;
        if (!boundary || std::abs(point.y() - boundary->center().y()) > boundary->height() ||
            Policy::contains(*boundary, point))
            return;
        const QList<TrayItem> items = m_manualDragItems();
        std::optional<TrayItem> hit;
        QRectF start;
        int hits = 0;
        for (const TrayItem& item : items) {
            const auto frame = screenFrame(item);
            if (frame && Policy::contains(*frame, point)) {
                ++hits;
                hit = item;
                start = *frame;
            }
        }
        if (hits != 1)
            return;
        const auto app = m_services.workspace->runningApplication(hit->pid);
        if (!app || !app->bundleIdentifier || *app->bundleIdentifier == ownBundleID() ||
            isAppleBundleID(*app->bundleIdentifier))
            return;
        const QString bundle = *app->bundleIdentifier;
        if (m_namedGrouping.memberships.contains(bundle) ||
            m_appGroups.value(bundle, kDefaultTraySection) == TraySection::alwaysHidden)
            return;
        const auto sameProcess = std::count_if(items.cbegin(), items.cend(),
                                               [&](const TrayItem& item) { return item.pid == hit->pid; });
        if (sameProcess != 1)
            return;
        m_manualDrag = ManualDrag{*hit, bundle, start, *boundary, point, m_activationGeneration, false};
        return;
    }
    case platform::MouseEventType::LeftMouseDragged:
        if (!m_manualDrag)
            return;
        if (command && !m_busy && m_manualDrag->generation == m_activationGeneration) {
            const QPointF moved = point - m_manualDrag->pointer;
            if (std::hypot(moved.x(), moved.y()) >= dragThreshold)
                m_manualDrag->sawDrag = true;
        } else {
            m_manualDrag.reset();
        }
        return;
    case platform::MouseEventType::LeftMouseUp: {
        if (!m_manualDrag)
            return;
        const ManualDrag drag = *m_manualDrag;
        m_manualDrag.reset();
        evaluateDrop(drag, m_manualDragToken, point);
        return;
    }
    default:
        return;
    }
}

void NativeTrayController::evaluateDrop(const ManualDrag& drag, quint64 token, QPointF pointer)
{
    QPointer<NativeTrayController> self(this);
    auto current = [self, token] { return self && self->m_manualDragToken == token && !self->m_busy; };
    m_manualDragTask = m_services.scheduler->after(platform::seconds(dropFirstDelay), [=] {
        if (!current())
            return;
        const auto f1 = self->screenFrame(drag.item);
        const auto c1 = self->m_regularItem ? self->m_regularItem->buttonWindowFrame() : std::nullopt;
        if (!f1 || !c1)
            return;
        self->m_manualDragTask = self->m_services.scheduler->after(platform::seconds(dropSecondDelay), [=] {
            if (!current())
                return;
            const auto f2 = self->screenFrame(drag.item);
            const auto c2 = self->m_regularItem ? self->m_regularItem->buttonWindowFrame() : std::nullopt;
            if (!f2 || !c2)
                return;
            self->finishDrop(drag, *f1, *c1, *f2, *c2, pointer);
        });
    });
}

void NativeTrayController::finishDrop(const ManualDrag& drag, const QRectF& f1, const QRectF& c1,
                                      const QRectF& f2, const QRectF& c2, QPointF pointer)
{
    if (m_namedGrouping.memberships.contains(drag.bundle) || !drag.sawDrag ||
        drag.generation != m_activationGeneration)
        return;
    for (const QRectF& rect : {drag.start, drag.boundary, f1, f2, c1, c2}) {
        if (!Policy::usable(rect))
            return;
    }
    const bool settled = Policy::near(f1, f2) && Policy::near(c1, c2);
    const bool sameRow = std::abs(drag.start.center().y() - drag.boundary.center().y()) < 4 &&
                         std::abs(f1.center().y() - c1.center().y()) < 4 &&
                         std::abs(drag.start.center().y() - f1.center().y()) < 4;
    const bool chevronSteady = std::abs(drag.boundary.center().x() - c1.center().x()) <=
                               std::max(drag.start.width(), f1.width()) + 8;
    const bool releasedOnIcon = Policy::contains(f1.adjusted(-12, -8, 12, 8), pointer);
    if (!settled || !sameRow || !chevronSteady || !releasedOnIcon)
        return;

    bool startedLeft = false;
    if (drag.start.right() <= drag.boundary.left() + 1)
        startedLeft = true;
    else if (drag.start.left() < drag.boundary.right() - 1)
        return;
    TraySection target;
    if (f1.right() <= c1.left() + 1) {
        if (startedLeft)
            return;
        target = TraySection::expandable;
    } else if (f1.left() >= c1.right() - 1) {
        if (!startedLeft)
            return;
        target = TraySection::alwaysVisible;
    } else {
        return;
    }

    if (const auto current = m_appGroups.constFind(drag.bundle);
        current != m_appGroups.cend() && *current == target)
        return;
    m_appGroups.insert(drag.bundle, target);
    if (m_onManualGroupChange)
        m_onManualGroupChange(drag.bundle, target);
    if (target == TraySection::expandable && m_configured && !m_expanded) {
        applyVisibility(false, m_expandedNamedGroups, false, false);
        return;
    }
    if (m_onChange)
        m_onChange();
}

} // namespace velmor
