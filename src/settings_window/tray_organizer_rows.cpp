#include "settings_window/tray_organizer_rows.h"

namespace velmor {

QVariant TrayOrganizerAreaRow::data(Role role) const
{
    switch (role) {
    case DestinationRole:
        return key;
    case TitleRole:
        return title;
    case SubtitleRole:
        return subtitle;
    case SymbolRole:
        return symbol;
    case CountRole:
        return count;
    case CountTextRole:
        return countText;
    case AccessibleNameRole:
        return accessibleName;
    case IsGroupRole:
        return isGroup;
    case GroupIDRole:
        return groupID;
    case OptionsLabelRole:
        return optionsLabel;
    case ToggleTitleRole:
        return toggleTitle;
    case MovesRole:
        return moves;
    case CardsRole:
        return QVariant::fromValue(cards);
    }
    return {};
}

QVariant TrayOrganizerCardRow::data(Role role) const
{
    switch (role) {
    case BundleIDRole:
        return key;
    case NameRole:
        return name;
    case StatusRole:
        return status;
    case SightRole:
        return sight;
    case IconSourceRole:
        return iconSource;
    case ToolTipRole:
        return toolTip;
    case LabelRole:
        return label;
    case PayloadRole:
        return payload;
    case IsNewRole:
        return isNew;
    }
    return {};
}

QVariant TrayOrganizerMarkerRow::data(Role role) const
{
    switch (role) {
    case SectionRole:
        return key;
    case TitleRole:
        return title;
    case SymbolRole:
        return symbol;
    case CountRole:
        return count;
    case ItemsRole:
        return QVariant::fromValue(items);
    }
    return {};
}

QVariant TrayOrganizerMarkerItemRow::data(Role role) const
{
    switch (role) {
    case ItemIDRole:
        return key;
    case TitleRole:
        return title;
    case IconSourceRole:
        return iconSource;
    }
    return {};
}

} // namespace velmor
