#include "settings_window/tray_organizer_areas.h"

#include "foundation/uuid_text.h"
#include "settings_window/tray_below_bar_settings.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_model.h"
#include "tray/tray_organizer_drop.h"
#include "tray/tray_section.h"

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

const QList<QByteArray> areaRoles = {"destination", "title",          "subtitle", "symbol",  "count",
                                     "countText",   "accessibleName", "isGroup",  "groupID", "optionsLabel",
                                     "toggleTitle", "moves",          "cards"};
// "label" is the card's accessible name: the card item has an accessibleName of its own.
const QList<QByteArray> cardRoles = {"bundleID", "name",  "status",  "sight", "iconSource",
                                     "toolTip",  "label", "payload", "isNew"};
const QList<QByteArray> markerRoles = {"section", "title", "symbol", "count", "items"};
// "itemID": a QML object cannot have a property named "id".
const QList<QByteArray> markerItemRoles = {"itemID", "title", "iconSource"};

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

QVariant object(QObject* list)
{
    return QVariant::fromValue(list);
}

} // namespace

TrayOrganizerAreas::TrayOrganizerAreas(QObject* parent)
    : QObject(parent), m_sections(areaRoles), m_groups(areaRoles), m_markers(markerRoles)
{}

void TrayOrganizerAreas::update(const TrayModel* model, bool busy)
{
    if (model && model->nativePerApp()) {
        m_markers.setRows({});
        updatePerApp(*model, busy);
    } else {
        m_sections.setRows({});
        m_groups.setRows({});
        if (model)
            updateMarkers(*model);
        else
            m_markers.setRows({});
    }
    QStringList areas;
    for (const KeyedListModel* list : {&m_sections, &m_groups}) {
        for (const KeyedListModel::Row& row : list->rows())
            areas.append(row.key);
    }
    prune(m_cards, areas);
    QStringList sections;
    for (const KeyedListModel::Row& row : m_markers.rows())
        sections.append(row.key);
    prune(m_markerItems, sections);
}

void TrayOrganizerAreas::updatePerApp(const TrayModel& model, bool busy)
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

    // Every app's card once, in the model's order, under its destination.
    QHash<QString, QList<KeyedListModel::Row>> cards;
    for (const GroupedApp& app : model.groupedApps()) {
        QString label = app.appName;
        if (app.status)
            label += utf8(cardSeparator) + *app.status;
        const QString sight = TrayBelowBarSettings::cardStatus(model.outOfSight(), app.id);
        if (!sight.isEmpty())
            label += utf8(cardSeparator) + sight;
        if (app.isNew)
            label += utf8(cardSeparator) + utf8(GroupedApp::newBadge);
        cards[model.destination(app)].append(
            {app.id,
             {app.id, app.appName, app.status.value_or(QString()), sight, iconSource(app.id, app.icon),
              label + utf8(cardToolTipSuffix), label, TrayOrganizerDrop::payload(app.id), app.isNew}});
    }

    QList<KeyedListModel::Row> sectionRows;
    QList<KeyedListModel::Row> groupRows;
    for (const Area& area : areas) {
        QVariantList moves;
        for (const Area& other : areas) {
            moves.append(
                QVariantMap{{QStringLiteral("title"), utf8(movePrefix) + other.title},
                            {QStringLiteral("destination"), other.destination},
                            {QStringLiteral("enabled"), !busy && other.destination != area.destination}});
        }
        KeyedListModel* list = listFor(m_cards, area.destination, cardRoles);
        list->setRows(cards.value(area.destination));
        const QString count = QString::number(list->count());
        QString toggle;
        if (area.group && model.nativeConfigured())
            toggle =
                utf8(model.expandedNamedGroups().contains(*area.group) ? collapseGroupText : expandGroupText);
        KeyedListModel::Row row{
            area.destination,
            {area.destination, area.title, area.subtitle, area.symbol, list->count(), count,
             area.title + QStringLiteral(", ") + count + utf8(areaAccessibleSuffix), area.group.has_value(),
             area.group ? uuid_text::canonical(*area.group) : QString(),
             area.group ? utf8(optionsPrefix) + area.title : QString(), toggle, moves, object(list)}};
        (area.group ? groupRows : sectionRows).append(std::move(row));
    }
    m_sections.setRows(std::move(sectionRows));
    m_groups.setRows(std::move(groupRows));
}

void TrayOrganizerAreas::updateMarkers(const TrayModel& model)
{
    QHash<int, QList<KeyedListModel::Row>> items;
    // Items the map does not place are left out rather than shown as always visible.
    for (const TrayItem& item : model.items()) {
        const auto section = model.nativeGroups().find(item.id);
        if (section != model.nativeGroups().end())
            items[static_cast<int>(*section)].append(
                {item.id, {item.id, item.title, iconSource(item.bundleID(), item.icon)}});
    }
    QList<KeyedListModel::Row> rows;
    for (const SectionArea& entry : sectionAreas) {
        const QString section = rawValue(entry.section);
        KeyedListModel* list = listFor(m_markerItems, section, markerItemRoles);
        list->setRows(items.value(static_cast<int>(entry.section)));
        rows.append({section, {section, utf8(entry.title), utf8(entry.symbol), list->count(), object(list)}});
    }
    m_markers.setRows(std::move(rows));
}

KeyedListModel* TrayOrganizerAreas::listFor(QHash<QString, KeyedListModel*>& lists, const QString& key,
                                            const QList<QByteArray>& roles)
{
    KeyedListModel*& list = lists[key];
    if (!list)
        list = new KeyedListModel(roles, this);
    return list;
}

void TrayOrganizerAreas::prune(QHash<QString, KeyedListModel*>& lists, const QStringList& kept)
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
