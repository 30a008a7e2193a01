#include "distribution/update_menu_item.h"

namespace velmor {

UpdateMenuItem::UpdateMenuItem(Action action, QString title, std::function<void()> perform, QObject* parent)
    : QObject(parent), m_action(action), m_title(std::move(title)), m_perform(std::move(perform))
{}

void UpdateMenuItem::setHidden(bool hidden)
{
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    Q_EMIT hiddenChanged();
}

void UpdateMenuItem::trigger()
{
    if (m_perform)
        m_perform();
}

} // namespace velmor
