#pragma once

#include "foundation/keyed_list_model.h"

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

    // Rows: destination, title, subtitle, symbol, count, countText, accessibleName, isGroup,
    // groupID, optionsLabel, toggleTitle (empty while grouping is not configured), moves (the
    // card's "Move to" entries: title, destination, enabled) and cards.
    KeyedListModel* sections() { return &m_sections; }
    KeyedListModel* groups() { return &m_groups; }
    const KeyedListModel* sections() const { return &m_sections; }
    const KeyedListModel* groups() const { return &m_groups; }
    // Rows: section, title, symbol, count and items (itemID, title, iconSource).
    KeyedListModel* markers() { return &m_markers; }
    const KeyedListModel* markers() const { return &m_markers; }
    // An area's cards: bundleID, name, status, sight, iconSource, toolTip, label (the card's
    // accessible name), payload. Null for a destination that is not an area.
    KeyedListModel* cards(const QString& destination) const { return m_cards.value(destination); }

    // `busy` disables every move while the controller works.
    void update(const TrayModel* model, bool busy);

private:
    void updatePerApp(const TrayModel& model, bool busy);
    void updateMarkers(const TrayModel& model);
    KeyedListModel* listFor(QHash<QString, KeyedListModel*>& lists, const QString& key,
                            const QList<QByteArray>& roles);
    // Drops the lists of keys no longer shown, once the views have let go of them.
    void prune(QHash<QString, KeyedListModel*>& lists, const QStringList& kept);

    KeyedListModel m_sections;
    KeyedListModel m_groups;
    KeyedListModel m_markers;
    QHash<QString, KeyedListModel*> m_cards;
    QHash<QString, KeyedListModel*> m_markerItems;
};

} // namespace velmor
