#include "tray/tray_display_setup.h"

#include "foundation/json.h"

#include <QStringList>

#include <algorithm>

namespace velmor {

TrayDisplaySetup::TrayDisplaySetup(QList<platform::DisplayIdentity> displays) : m_displays(std::move(displays)) {}

TrayDisplaySetup TrayDisplaySetup::current(const platform::Screens& screens)
{
    return TrayDisplaySetup(screens.identities());
}

QString TrayDisplaySetup::key() const
{
    if (m_displays.isEmpty())
        return {};
    QStringList others;
    for (qsizetype i = 1; i < m_displays.size(); ++i)
        others.append(m_displays[i].id);
    std::sort(others.begin(), others.end());
    // As a JSON array: identities are the system's (or a scenario's) text, and no separator
    // could be trusted not to occur in them.
    Json parts = Json::array({json::toStd(m_displays.first().id)});
    for (const QString& other : std::as_const(others))
        parts.push_back(json::toStd(other));
    return QString::fromUtf8(json::serialize(parts));
}

QString TrayDisplaySetup::words() const
{
    if (m_displays.isEmpty())
        return QStringLiteral("No display");
    if (m_displays.size() == 1) {
        const platform::DisplayIdentity& only = m_displays.first();
        return (only.builtIn ? QStringLiteral("Built-in display") : only.name) + QStringLiteral(" alone");
    }
    QStringList names;
    for (const platform::DisplayIdentity& display : m_displays)
        names.append(display.builtIn ? QStringLiteral("Built-in") : display.name);
    return names.join(QStringLiteral(" + "));
}

} // namespace velmor
