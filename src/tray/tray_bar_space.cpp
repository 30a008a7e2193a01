#include "tray/tray_bar_space.h"

#include "platform/accessibility.h"
#include "platform/screen_geometry.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "platform/workspace.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_model.h"

#include <algorithm>
#include <cmath>

namespace velmor {
namespace {

// An app with more menus than this is not believed.
constexpr int appMenuLimit = 64;

std::optional<QRectF> chevronBar(const NativeTrayController& controller, const platform::Services& services)
{
    const platform::StatusItem* chevron = controller.chevronItem();
    const auto frame = chevron ? chevron->buttonWindowFrame() : std::nullopt;
    if (!frame || !std::isfinite(frame->x()) || frame->height() <= 0)
        return std::nullopt;
    for (const QRectF& display : services.screens->frames()) {
        const double right = std::min(frame->right(), display.right());
        if (right > display.left() && right <= display.right())
            return QRectF(display.x(), frame->y(), display.width(), frame->height());
    }
    return std::nullopt;
}

} // namespace

std::optional<double> TrayBarSpace::frontmostMenusEnd(const platform::Services& services)
{
    const auto pid = services.workspace->frontmostProcessIdentifier();
    if (!pid)
        return std::nullopt;
    platform::Accessibility& accessibility = *services.accessibility;
    const auto bar =
        accessibility.attribute(accessibility.applicationElement(*pid), QStringLiteral("AXMenuBar"));
    const auto* barElement = bar ? std::get_if<platform::AccessibilityElement>(&*bar) : nullptr;
    if (!barElement)
        return std::nullopt;
    const auto count = accessibility.attributeValueCount(*barElement, QStringLiteral("AXChildren"));
    if (!count || *count <= 0 || *count > appMenuLimit)
        return std::nullopt;
    const auto menus = accessibility.attributeValues(*barElement, QStringLiteral("AXChildren"), 0, *count);
    if (!menus)
        return std::nullopt;
    std::optional<double> end;
    for (const platform::AccessibilityValue& value : *menus) {
        const auto* menu = std::get_if<platform::AccessibilityElement>(&value);
        const auto position =
            menu ? accessibility.attribute(*menu, QStringLiteral("AXPosition")) : std::nullopt;
        const auto size = menu ? accessibility.attribute(*menu, QStringLiteral("AXSize")) : std::nullopt;
        const auto* topLeft = position ? std::get_if<QPointF>(&*position) : nullptr;
        const auto* extent = size ? std::get_if<QSizeF>(&*size) : nullptr;
        if (!topLeft || !extent || !std::isfinite(topLeft->x() + extent->width()))
            continue;
        end = std::max(end.value_or(topLeft->x()), topLeft->x() + extent->width());
    }
    return end;
}

bool TrayBarSpace::onBar(const NativeTrayController& controller, const platform::Services& services,
                         QPointF point)
{
    const auto bar = chevronBar(controller, services);
    return bar && point.y() >= bar->top() && point.y() <= bar->bottom() && point.x() >= bar->left() &&
           point.x() <= bar->right();
}

std::optional<TrayBarSpace> TrayBarSpace::read(const platform::Services& services, const TrayModel& model,
                                               const NativeTrayController& controller)
{
    const auto bar = chevronBar(controller, services);
    if (!bar)
        return std::nullopt;
    const auto menus = frontmostMenusEnd(services);
    if (!menus)
        return std::nullopt;
    TrayBarSpace space{*bar, *menus, bar->right()};
    const auto consider = [&](const QRectF& frame) {
        // A stretched item of the tray's own is what makes the empty space look empty.
        if (frame.width() >= NativeTrayController::stretchedLength / 2 || frame.right() <= bar->left() ||
            frame.left() >= bar->right())
            return;
        space.itemsStart = std::min(space.itemsStart, std::max(frame.left(), *menus));
    };
    // Accessibility and screen coordinates share x.
    for (auto it = model.itemFrames().cbegin(); it != model.itemFrames().cend(); ++it) {
        if (!model.outOfSight().contains(it.key()))
            consider(it.value());
    }
    QList<const platform::StatusItem*> own{controller.chevronItem(), controller.markerItem()};
    for (const TrayNamedGroup& group : model.namedGrouping().groups)
        own.append(controller.groupItem(group.id));
    for (const platform::StatusItem* item : own) {
        if (!item || !item->isVisible())
            continue;
        if (const auto frame = item->buttonWindowFrame())
            consider(*frame);
    }
    return space;
}

} // namespace velmor
