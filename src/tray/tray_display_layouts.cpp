#include "tray/tray_display_layouts.h"

#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/user_defaults.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_model.h"

#include <QPointer>

namespace velmor {
namespace {

constexpr const char* versionMember = "version";
constexpr const char* layoutsMember = "layouts";

QString literal(const char* name)
{
    return QString::fromLatin1(name);
}

} // namespace

TrayDisplayLayouts::TrayDisplayLayouts(const platform::Services& services, TrayModel& model,
                                       NativeTrayController& controller, QObject* parent)
    : QObject(parent), m_services(services), m_model(model), m_controller(controller)
{}

TrayDisplayLayouts::~TrayDisplayLayouts()
{
    m_settleTask.cancel();
    if (m_observer && m_services.screens)
        m_services.screens->removeObserver(*m_observer);
}

void TrayDisplayLayouts::start()
{
    if (m_observer || !m_services.screens)
        return;
    load();
    m_setup = TrayDisplaySetup::current(*m_services.screens);
    const auto last = m_services.userDefaults->stringValue(literal(lastSetupKey));
    if (const TrayDisplayLayout* layout = find(m_setup); layout && m_controller.perAppMode()) {
        if (last != m_setup.key())
            apply(*layout, false);
        // The same displays as last time: the layout is in force if the arrangement is still it.
        if (last != m_setup.key() ||
            (m_model.appGroups() == layout->appGroups && m_model.namedGrouping() == layout->grouping))
            m_inForce = m_setup.key();
    }
    rememberSetup();
    QPointer<TrayDisplayLayouts> self(this);
    m_observer = m_services.screens->observeChanges([self] {
        if (self)
            self->displaysChanged();
    });
    Q_EMIT changed();
}

void TrayDisplayLayouts::load()
{
    m_layouts.clear();
    m_unreadable.clear();
    m_recordUnreadable = false;
    m_recordNewer = false;
    const auto data = m_services.userDefaults->dataValue(literal(layoutsKey));
    if (!data) {
        // Stored as something other than data: not this app's record.
        m_recordUnreadable = m_services.userDefaults->value(literal(layoutsKey)).isValid();
    } else {
        const std::optional<Json> record = json::tryParse(*data);
        const Json* layouts = nullptr;
        if (record && record->is_object() && record->contains(layoutsMember) &&
            record->at(layoutsMember).is_array() && record->contains(versionMember) &&
            record->at(versionMember).is_number_integer())
            layouts = &record->at(layoutsMember);
        if (!layouts) {
            m_recordUnreadable = true;
        } else if (record->at(versionMember).get<qint64>() != version) {
            m_recordNewer = record->at(versionMember).get<qint64>() > version;
            m_recordUnreadable = !m_recordNewer;
        } else {
            for (const Json& entry : *layouts) {
                if (m_layouts.size() + m_unreadable.size() >= maximumLayouts)
                    break;
                auto layout = TrayDisplayLayout::tryDecode(entry);
                // Two layouts for one setup: the first wins, as a save would have replaced it.
                if (layout && !find(layout->setup))
                    m_layouts.append(std::move(*layout));
                else if (!layout)
                    m_unreadable.append(entry);
            }
        }
    }
    if (m_recordNewer)
        m_problem = literal(newerVersionText);
    else if (m_recordUnreadable || !m_unreadable.isEmpty())
        m_problem = literal(unreadableText);
}

bool TrayDisplayLayouts::write()
{
    if (m_recordNewer)
        return false;
    platform::UserDefaults& defaults = *m_services.userDefaults;
    if (m_recordUnreadable) {
        // Kept aside once, so what could not be read is not lost by the save that replaces it.
        if (!defaults.value(literal(unreadableKey)).isValid())
            defaults.setValue(literal(unreadableKey), defaults.value(literal(layoutsKey)));
        m_recordUnreadable = false;
    }
    Json layouts = Json::array();
    for (const TrayDisplayLayout& layout : std::as_const(m_layouts))
        layouts.push_back(layout.encode());
    for (const Json& entry : std::as_const(m_unreadable))
        layouts.push_back(entry);
    defaults.setValue(literal(layoutsKey), json::serialize(Json{{versionMember, version}, {layoutsMember, layouts}}));
    return true;
}

const TrayDisplayLayout* TrayDisplayLayouts::find(const TrayDisplaySetup& setup) const
{
    const QString wanted = setup.key();
    for (const TrayDisplayLayout& layout : m_layouts) {
        if (layout.setup.key() == wanted)
            return &layout;
    }
    return nullptr;
}

const TrayDisplayLayout* TrayDisplayLayouts::inForceLayout() const
{
    for (const TrayDisplayLayout& layout : m_layouts) {
        if (layout.setup.key() == m_inForce)
            return &layout;
    }
    return nullptr;
}

std::optional<QString> TrayDisplayLayouts::inForce() const
{
    const TrayDisplayLayout* layout = inForceLayout();
    return layout ? std::optional(layout->setup.words()) : std::nullopt;
}

QSet<QUuid> TrayDisplayLayouts::openGroupsAtStart() const
{
    const TrayDisplayLayout* layout = inForceLayout();
    return layout ? layout->openGroups : QSet<QUuid>{};
}

std::optional<QString> TrayDisplayLayouts::saveCurrent()
{
    if (!m_controller.perAppMode())
        return literal(markerModeText);
    if (m_recordNewer)
        return literal(newerVersionText);
    if (m_services.screens)
        m_setup = TrayDisplaySetup::current(*m_services.screens);
    TrayDisplayLayout layout{m_setup, m_model.appGroups(), m_model.namedGrouping(),
                             m_controller.configured() ? m_controller.expandedNamedGroups() : QSet<QUuid>{},
                             TrayBelowBarPreference::load(*m_services.userDefaults)};
    qsizetype at = -1;
    for (qsizetype i = 0; i < m_layouts.size(); ++i) {
        if (m_layouts[i].setup == m_setup)
            at = i;
    }
    if (at < 0 && m_layouts.size() + m_unreadable.size() >= maximumLayouts)
        return literal(tooManyText);
    if (at < 0)
        m_layouts.append(std::move(layout));
    else
        m_layouts[at] = std::move(layout);
    write();
    m_inForce = m_setup.key();
    m_notice.clear();
    m_problem.clear();
    rememberSetup();
    Q_EMIT changed();
    return std::nullopt;
}

bool TrayDisplayLayouts::remove(const QString& setupWords)
{
    for (qsizetype i = 0; i < m_layouts.size(); ++i) {
        if (m_layouts[i].setup.words() != setupWords)
            continue;
        if (m_layouts[i].setup.key() == m_inForce) {
            m_inForce.clear();
            m_notice.clear();
        }
        m_layouts.removeAt(i);
        write();
        Q_EMIT changed();
        return true;
    }
    return false;
}

void TrayDisplayLayouts::displaysChanged()
{
    m_settleTask.cancel();
    QPointer<TrayDisplayLayouts> self(this);
    m_settleTask = m_services.scheduler->after(platform::seconds(settleDelay), [self] {
        if (self)
            self->settle();
    });
}

void TrayDisplayLayouts::settle()
{
    const TrayDisplaySetup setup = TrayDisplaySetup::current(*m_services.screens);
    // A change that came back to where it started (a display that slept and woke) is no switch.
    if (setup.isEmpty() || setup == m_setup)
        return;
    m_setup = setup;
    rememberSetup();
    const TrayDisplayLayout* layout = find(setup);
    if (layout && m_controller.perAppMode()) {
        apply(*layout, true);
        m_inForce = setup.key();
        m_notice = literal(usingFormat).arg(setup.words());
    }
    Q_EMIT changed();
}

void TrayDisplayLayouts::apply(const TrayDisplayLayout& layout, bool running)
{
    TrayBelowBarPreference::save(*m_services.userDefaults, layout.belowBar);
    m_model.adoptGrouping(layout.appGroups, layout.grouping);
    const TrayAppGrouping& grouping = m_model.namedGrouping();
    m_controller.setAppGroups(m_model.appGroups(), grouping, false);
    // Applied only where grouping is in force: after "Reveal all", or before a start applied it,
    // the person sees every icon until they apply it themselves.
    if (!running || !(m_controller.configured() || m_controller.busy()))
        return;
    QSet<QUuid> open;
    for (const TrayNamedGroup& group : grouping.groups) {
        if (layout.openGroups.contains(group.id))
            open.insert(group.id);
    }
    m_controller.applyVisibility(false, open, true, false);
}

void TrayDisplayLayouts::rememberSetup()
{
    if (m_setup.isEmpty())
        return;
    platform::UserDefaults& defaults = *m_services.userDefaults;
    if (defaults.stringValue(literal(lastSetupKey)) != m_setup.key())
        defaults.setValue(literal(lastSetupKey), m_setup.key());
}

} // namespace velmor
