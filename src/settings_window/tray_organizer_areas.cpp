#include "settings_window/tray_organizer_areas.h"

#include "foundation/uuid_text.h"
#include "settings_window/tray_below_bar_settings.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_model.h"
#include "tray/tray_organizer_drop.h"
#include "tray/tray_section.h"

#include <QSet>

namespace velmor {
namespace {

struct SectionArea {
    TraySection section;
    const char* title;
    const char* subtitle;
    const char* symbol;
};

// The section areas the organizer offers, in this order; apps are never sent below the tray here.
constexpr SectionArea sectionAreas[] = {
    {TraySection::alwaysVisible, TrayOrganizerAreas::alwaysVisibleTitle,
     TrayOrganizerAreas::alwaysVisibleSubtitle, "menubar.rectangle"},
    {TraySection::expandable, TrayOrganizerAreas::expandableTitle, TrayOrganizerAreas::expandableSubtitle,
     "chevron.down.square"},
    {TraySection::alwaysHidden, TrayOrganizerAreas::alwaysHiddenTitle,
     TrayOrganizerAreas::alwaysHiddenSubtitle, "eye.slash"},
};

QString utf8(const char* value)
{
    return QString::fromUtf8(value);
}

QString iconSource(const QString& bundleID, const std::optional<platform::Icon>& icon)
{
    if (!icon || icon->isNull())
        return {};
    return QStringLiteral("image://%1/%2").arg(QString::fromLatin1(AppIconProvider::providerId), bundleID);
}

} // namespace

TrayOrganizerAreas::TrayOrganizerAreas(QObject* parent) : QObject(parent) {}

void TrayOrganizerAreas::update(const TrayModel* model, bool busy, const QHash<QString, QString>& drawn)
{
    if (model && model->nativePerApp()) {
        m_markers.setRows({});
        updatePerApp(*model, busy, drawn);
    } else {
        m_sections.setRows({});
        m_groups.setRows({});
        if (model)
            updateMarkers(*model);
        else
            m_markers.setRows({});
    }
    prune(m_cards, m_sections.keys() + m_groups.keys());
    prune(m_markerItems, m_markers.keys());
}

void TrayOrganizerAreas::updatePerApp(const TrayModel& model, bool busy, const QHash<QString, QString>& drawn)
{
    struct Area {
        QString destination;
        QString title;
        QString subtitle;
        QString symbol;
        std::optional<QUuid> group;
    };
    QList<Area> areas;
    for (const SectionArea& entry : sectionAreas)
        areas.append(
            {rawValue(entry.section), utf8(entry.title), utf8(entry.subtitle), utf8(entry.symbol), {}});
    for (const TrayNamedGroup& group : model.namedGrouping().groups) {
        areas.append({utf8(TrayModel::groupDestinationPrefix) + uuid_text::canonical(group.id), group.name,
                      utf8(groupSubtitle), group.symbol, group.id});
    }

    QSet<QString> destinations;
    for (const Area& area : areas)
        destinations.insert(area.destination);
    // Every app's card once, in the model's order, under its destination (or where it was just
    // dropped, while that area is still there).
    QHash<QString, QList<TrayOrganizerCardRow>> cards;
    for (const GroupedApp& app : model.groupedApps()) {
        const QString shownIn = drawn.value(app.id);
        QString label = app.appName;
        if (app.status)
            label += utf8(cardSeparator) + *app.status;
        const QString sight = TrayBelowBarSettings::cardStatus(model.outOfSight(), app.id);
        if (!sight.isEmpty())
            label += utf8(cardSeparator) + sight;
        if (app.isNew)
            label += utf8(cardSeparator) + utf8(GroupedApp::newBadge);
        cards[destinations.contains(shownIn) ? shownIn : model.destination(app)].append({.key = app.id,
                                              .name = app.appName,
                                              .status = app.status.value_or(QString()),
                                              .sight = sight,
                                              .iconSource = iconSource(app.id, app.icon),
                                              .toolTip = label + utf8(cardToolTipSuffix),
                                              .label = label,
                                              .payload = TrayOrganizerDrop::payload(app.id),
                                              .isNew = app.isNew});
    }

    QList<TrayOrganizerAreaRow> sectionRows;
    QList<TrayOrganizerAreaRow> groupRows;
    for (const Area& area : areas) {
        QVariantList moves;
        for (const Area& other : areas) {
            moves.append(
                QVariantMap{{QStringLiteral("title"), utf8(movePrefix) + other.title},
                            {QStringLiteral("destination"), other.destination},
                            {QStringLiteral("enabled"), !busy && other.destination != area.destination}});
        }
        CardList* list = listFor(m_cards, area.destination);
        list->setRows(cards.value(area.destination));
        const QString count = QString::number(list->count());
        QString toggle;
        if (area.group && model.nativeConfigured())
            toggle =
                utf8(model.expandedNamedGroups().contains(*area.group) ? collapseGroupText : expandGroupText);
        (area.group ? groupRows : sectionRows)
            .append({.key = area.destination,
                     .title = area.title,
                     .subtitle = area.subtitle,
                     .symbol = area.symbol,
                     .count = list->count(),
                     .countText = count,
                     .accessibleName = area.title + QStringLiteral(", ") + count + utf8(areaAccessibleSuffix),
                     .isGroup = area.group.has_value(),
                     .groupID = area.group ? uuid_text::canonical(*area.group) : QString(),
                     .optionsLabel = area.group ? utf8(optionsPrefix) + area.title : QString(),
                     .toggleTitle = toggle,
                     .moves = moves,
                     .cards = list});
    }
    m_sections.setRows(sectionRows);
    m_groups.setRows(groupRows);
}

void TrayOrganizerAreas::updateMarkers(const TrayModel& model)
{
    QHash<int, QList<TrayOrganizerMarkerItemRow>> items;
    // Items the map does not place are left out rather than shown as always visible.
    for (const TrayItem& item : model.items()) {
        const auto section = model.nativeGroups().find(item.id);
        if (section != model.nativeGroups().end())
            items[static_cast<int>(*section)].append(
                {.key = item.id, .title = item.title, .iconSource = iconSource(item.bundleID(), item.icon)});
    }
    QList<TrayOrganizerMarkerRow> rows;
    for (const SectionArea& entry : sectionAreas) {
        const QString section = rawValue(entry.section);
        MarkerItemList* list = listFor(m_markerItems, section);
        list->setRows(items.value(static_cast<int>(entry.section)));
        rows.append({.key = section,
                     .title = utf8(entry.title),
                     .symbol = utf8(entry.symbol),
                     .count = list->count(),
                     .items = list});
    }
    m_markers.setRows(rows);
}

template <typename List> List* TrayOrganizerAreas::listFor(QHash<QString, List*>& lists, const QString& key)
{
    List*& list = lists[key];
    if (!list)
        list = new List(this);
    return list;
}

template <typename List> void TrayOrganizerAreas::prune(QHash<QString, List*>& lists, const QStringList& kept)
{
    for (auto it = lists.begin(); it != lists.end();) {
        if (kept.contains(it.key())) {
            ++it;
            continue;
        }
        it.value()->deleteLater();
        it = lists.erase(it);
    }
}

} // namespace velmor
