#include "settings_window/tray_layout_settings.h"

#include "settings_window/tray_organizer_areas.h"
#include "tray/tray_arrangement_preferences.h"
#include "tray/tray_delegate.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_model.h"

#include <array>

namespace velmor {
namespace {

constexpr std::array<TraySection, 3> newAppsSections{TraySection::alwaysVisible, TraySection::expandable,
                                                      TraySection::alwaysHidden};

} // namespace

TrayLayoutSettings::TrayLayoutSettings(TrayModel& model, TrayDelegate& delegate, QObject* parent)
    : QObject(parent), m_model(&model), m_delegate(&delegate), m_preferences(&delegate.arrangementPreferences())
{
    connect(m_preferences, &TrayArrangementPreferences::changed, this, &TrayLayoutSettings::changed);
    connect(&model, &TrayModel::nativePerAppChanged, this, [this] {
        followLayouts();
        Q_EMIT changed();
    });
    followLayouts();
}

TrayLayoutSettings::~TrayLayoutSettings() = default;

void TrayLayoutSettings::followLayouts()
{
    TrayDisplayLayouts* layouts = m_delegate ? m_delegate->displayLayouts() : nullptr;
    if (layouts == m_layouts)
        return;
    if (m_layouts)
        disconnect(m_layouts, nullptr, this, nullptr);
    m_layouts = layouts;
    if (layouts)
        connect(layouts, &TrayDisplayLayouts::changed, this, [this] {
            m_refused.clear();
            Q_EMIT changed();
        });
}

bool TrayLayoutSettings::available() const
{
    return m_layouts && m_model && m_model->nativePerApp();
}

QString TrayLayoutSettings::setup() const
{
    return m_layouts ? m_layouts->setup().words() : QString();
}

QStringList TrayLayoutSettings::layouts() const
{
    QStringList words;
    if (m_layouts) {
        for (const TrayDisplayLayout& layout : m_layouts->layouts())
            words.append(layout.setup.words());
    }
    return words;
}

QString TrayLayoutSettings::inForce() const
{
    return m_layouts ? m_layouts->inForce().value_or(QString()) : QString();
}

QString TrayLayoutSettings::notice() const
{
    return m_layouts ? m_layouts->notice() : QString();
}

QString TrayLayoutSettings::problem() const
{
    if (!m_refused.isEmpty())
        return m_refused;
    return m_layouts ? m_layouts->problem() : QString();
}

void TrayLayoutSettings::save()
{
    if (!m_layouts)
        return;
    if (const auto refused = m_layouts->saveCurrent()) {
        m_refused = *refused;
        Q_EMIT changed();
    }
}

void TrayLayoutSettings::remove(const QString& setup)
{
    if (m_layouts)
        m_layouts->remove(setup);
}

QString TrayLayoutSettings::deleteLabel(const QString& setup) const
{
    return QString::fromUtf8(deleteAccessibleFormat).arg(setup);
}

bool TrayLayoutSettings::applyAtStart() const
{
    return m_preferences && m_preferences->applyAtStart();
}

void TrayLayoutSettings::setApplyAtStart(bool on)
{
    if (m_preferences)
        m_preferences->setApplyAtStart(on);
}

QStringList TrayLayoutSettings::newAppsTitles() const
{
    return {QString::fromUtf8(TrayOrganizerAreas::alwaysVisibleTitle),
            QString::fromUtf8(TrayOrganizerAreas::expandableTitle),
            QString::fromUtf8(TrayOrganizerAreas::alwaysHiddenTitle)};
}

int TrayLayoutSettings::newAppsIndex() const
{
    const TraySection section = m_preferences ? m_preferences->newApps() : kDefaultTraySection;
    for (std::size_t i = 0; i < newAppsSections.size(); ++i) {
        if (newAppsSections[i] == section)
            return int(i);
    }
    return 0;
}

void TrayLayoutSettings::setNewAppsIndex(int index)
{
    if (m_preferences && index >= 0 && index < int(newAppsSections.size()))
        m_preferences->setNewApps(newAppsSections[std::size_t(index)]);
}

} // namespace velmor
