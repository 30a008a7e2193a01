#include "settings_window/tray_groups_block.h"

#include "foundation/uuid_text.h"
#include "settings_window/tray_organizer_areas.h"
#include "tray/tray_model.h"

namespace velmor {

TrayGroupsBlock::TrayGroupsBlock(TrayModel& model, const TrayOrganizerAreas& areas, QObject* parent)
    : QObject(parent), m_model(&model), m_areas(areas),
      m_editor(
          [this](const std::optional<QUuid>& id, const QString& name, const QString& symbol) {
              if (m_model)
                  m_model->saveNamedGroup(id, name, symbol);
          },
          this),
      m_hasGroups(hasGroups())
{}

bool TrayGroupsBlock::hasGroups() const
{
    return m_areas.groups()->count() > 0;
}

void TrayGroupsBlock::update()
{
    if (const bool now = hasGroups(); now != m_hasGroups) {
        m_hasGroups = now;
        Q_EMIT hasGroupsChanged();
    }
}

void TrayGroupsBlock::openNewGroup()
{
    m_editor.openNew();
}

void TrayGroupsBlock::editGroup(const QString& groupID)
{
    const auto id = uuid_text::parse(groupID);
    if (!m_model || !id)
        return;
    for (const TrayNamedGroup& group : m_model->namedGrouping().groups) {
        if (group.id == *id) {
            m_editor.openExisting(group.id, group.name, group.symbol);
            return;
        }
    }
}

void TrayGroupsBlock::toggleGroup(const QString& groupID)
{
    const auto id = uuid_text::parse(groupID);
    // The entry exists only while grouping is configured.
    if (!m_model || !id || !m_model->nativeConfigured() || !m_model->hooks().toggleNamedGroup)
        return;
    m_model->hooks().toggleNamedGroup(*id);
}

void TrayGroupsBlock::deleteGroup(const QString& groupID)
{
    if (const auto id = uuid_text::parse(groupID); m_model && id)
        m_model->deleteNamedGroup(*id);
}

} // namespace velmor
