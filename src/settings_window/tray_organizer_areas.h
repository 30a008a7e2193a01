#pragma once

#include "foundation/keyed_list_model.h"
#include "settings_window/tray_organizer_rows.h"

#include <QHash>
#include <QObject>
#include <QString>

namespace velmor {

class TrayModel;

// The organizer's areas and their cards as list models. In per-app mode the sections and the
// named groups are areas, each with a model of its apps' cards; in marker mode each section lists
// the discovered items the map places there. `update` brings every model to the tray model's
// state by rows, so moving one app changes the two areas involved and nothing else.
class TrayOrganizerAreas final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* alwaysVisibleTitle = "Always visible";
    static constexpr const char* alwaysVisibleSubtitle = "Stay in the menu bar";
    static constexpr const char* expandableTitle = "Expandable menu";
    static constexpr const char* expandableSubtitle = "Show with the chevron";
    static constexpr const char* alwaysHiddenTitle = "Always hidden";
    static constexpr const char* alwaysHiddenSubtitle = "Return with Reveal all";
    static constexpr const char* groupSubtitle = "Drop apps into this group";
    static constexpr const char* areaAccessibleSuffix = " apps, drop area";
    static constexpr const char* optionsPrefix = "Options for ";
    static constexpr const char* expandGroupText = "Expand";
    static constexpr const char* collapseGroupText = "Collapse";
    static constexpr const char* cardSeparator = " · ";
    static constexpr const char* cardToolTipSuffix = "\nDrag to a group, or right-click to move.";
    static constexpr const char* movePrefix = "Move to ";

    explicit TrayOrganizerAreas(QObject* parent = nullptr);

    using AreaList = KeyedListModelOf<TrayOrganizerAreaRow>;
    using CardList = KeyedListModelOf<TrayOrganizerCardRow>;
    using MarkerList = KeyedListModelOf<TrayOrganizerMarkerRow>;
    using MarkerItemList = KeyedListModelOf<TrayOrganizerMarkerItemRow>;

    // Per-app mode's areas; each row's `cards` is the list `cards` gives for its destination.
    AreaList* sections() { return &m_sections; }
    AreaList* groups() { return &m_groups; }
    const AreaList* sections() const { return &m_sections; }
    const AreaList* groups() const { return &m_groups; }
    // Marker mode's sections, each with its list of items.
    MarkerList* markers() { return &m_markers; }
    const MarkerList* markers() const { return &m_markers; }
    // An area's cards; null for a destination that is not an area.
    CardList* cards(const QString& destination) const { return m_cards.value(destination); }

    // `busy` disables every move while the controller works. `drawn` puts apps (by bundle
    // identifier) in another area than the model's: a move shown before the model has it.
    void update(const TrayModel* model, bool busy, const QHash<QString, QString>& drawn = {});

private:
    void updatePerApp(const TrayModel& model, bool busy, const QHash<QString, QString>& drawn);
    void updateMarkers(const TrayModel& model);
    template <typename List> List* listFor(QHash<QString, List*>& lists, const QString& key);
    // Drops the lists of keys no longer shown, once the views have let go of them.
    template <typename List> static void prune(QHash<QString, List*>& lists, const QStringList& kept);

    AreaList m_sections;
    AreaList m_groups;
    MarkerList m_markers;
    QHash<QString, CardList*> m_cards;
    QHash<QString, MarkerItemList*> m_markerItems;
};

} // namespace velmor
