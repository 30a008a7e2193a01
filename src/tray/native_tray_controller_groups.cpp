// Group buttons: one status item per named group, showing and hiding that group's apps.

#include "foundation/uuid_text.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_group_target.h"

#include <QPointer>

namespace velmor {
platform::StatusItem* NativeTrayController::groupItem(const QUuid& id) const
{
    return m_namedItems.value(id).get();
}

QStringList NativeTrayController::groupControlKeys() const
{
    QStringList keys;
    for (const TrayNamedGroup& group : m_namedGrouping.groups) {
        if (m_namedItems.contains(group.id)) {
            keys.append(text(statusKeyPrefix) + ownBundleID() + text(statusKeySeparator) +
                        text(groupAutosavePrefix) + uuid_text::canonical(group.id));
        }
    }
    return keys;
}

void NativeTrayController::syncNamedItems()
{
    if (!perAppMode())
        return;
    QSet<QUuid> ids;
    for (const TrayNamedGroup& group : m_namedGrouping.groups)
        ids.insert(group.id);
    for (const QUuid& id : m_namedItems.keys()) {
        if (ids.contains(id))
            continue;
        m_services.statusBar->removeItem(m_namedItems.take(id));
        m_namedTargets.remove(id);
    }
    int rank = 2;
    for (const TrayNamedGroup& group : m_namedGrouping.groups) {
        ++rank;
        if (m_namedItems.contains(group.id))
            continue;
        std::shared_ptr<platform::StatusItem> item = createOwnItem(
            groupButtonLength, text(groupAutosavePrefix) + uuid_text::canonical(group.id), rank);
        QPointer<NativeTrayController> self(this);
        const QUuid id = group.id;
        auto target = std::make_shared<TrayGroupTarget>([self, id] {
            if (self)
                self->toggleNamed(id);
        });
        if (platform::StatusButton* button = item->button()) {
            std::weak_ptr<TrayGroupTarget> weakTarget = target;
            button->setAction(
                [weakTarget] {
                    if (const auto strong = weakTarget.lock())
                        strong->clicked();
                },
                platform::ButtonTrigger::LeftMouseUp);
        }
        m_namedItems.insert(group.id, item);
        m_namedTargets.insert(group.id, target);
    }
    updateNamedLabels();
}

void NativeTrayController::reloadOwnItems(std::function<void()> done)
{
    if (perAppMode()) {
        for (const QUuid& id : m_namedItems.keys()) {
            const std::shared_ptr<platform::StatusItem> item = m_namedItems.take(id);
            item->setAutosaveName(QString());
            m_services.statusBar->removeItem(item);
            m_namedTargets.remove(id);
        }
        syncNamedItems();
    }
    reloadChevronPosition(std::move(done));
}

void NativeTrayController::updateNamedLabels()
{
    for (const TrayNamedGroup& group : m_namedGrouping.groups) {
        const std::shared_ptr<platform::StatusItem> item = m_namedItems.value(group.id);
        platform::StatusButton* button = item ? item->button() : nullptr;
        if (!button)
            continue;
        const bool shown = m_configured ? m_expandedNamedGroups.contains(group.id) : true;
        button->setSymbolImage(group.symbol, group.name);
        button->setImagePosition(platform::ImagePosition::ImageLeft);
        button->setAppearsDisabled(m_busy);
        button->setEnabled(!m_busy);
        button->setTitle(text(shown ? groupShownTitle : groupHiddenTitle));
        const QString toolTip =
            group.name + text(groupToolTipSeparator) + text(shown ? groupShownToolTip : groupHiddenToolTip);
        button->setToolTip(toolTip);
        button->setAccessibilityLabel(toolTip);
    }
}

void NativeTrayController::toggleNamed(const QUuid& id)
{
    if (m_busy || !perAppMode())
        return;
    QSet<QUuid> base;
    bool exists = false;
    for (const TrayNamedGroup& group : m_namedGrouping.groups) {
        exists = exists || group.id == id;
        base.insert(group.id);
    }
    if (!exists)
        return;
    m_peek.clear();
    // An unconfigured tray counts every group as shown.
    if (m_configured)
        base = m_expandedNamedGroups;
    if (base.contains(id))
        base.remove(id);
    else
        base.insert(id);
    applyVisibility(m_configured ? m_expanded : true, base, false, false);
}

} // namespace velmor
