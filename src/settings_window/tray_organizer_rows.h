#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace velmor {

// An area of the organizer in per-app mode: one of the sections, or a named group.
struct TrayOrganizerAreaRow {
    Q_GADGET

public:
    enum Role : int {
        DestinationRole = Qt::UserRole + 1,
        TitleRole,
        SubtitleRole,
        SymbolRole,
        CountRole,
        CountTextRole,
        AccessibleNameRole,
        IsGroupRole,
        GroupIDRole,
        OptionsLabelRole,
        ToggleTitleRole,
        MovesRole,
        CardsRole,
    };
    Q_ENUM(Role)

    // Where the area's apps go: the row's key and its destination.
    QString key;
    QString title;
    QString subtitle;
    QString symbol;
    int count = 0;
    QString countText;
    QString accessibleName;
    bool isGroup = false;
    // Empty for a section.
    QString groupID;
    QString optionsLabel;
    // Empty while grouping is not configured.
    QString toggleTitle;
    // The card's "Move to" entries, each a map of title, destination and enabled.
    QVariantList moves;
    // The area's list of cards.
    QObject* cards = nullptr;

    QVariant data(Role role) const;
};

// An app's card in an area.
struct TrayOrganizerCardRow {
    Q_GADGET

public:
    enum Role : int {
        BundleIDRole = Qt::UserRole + 1,
        NameRole,
        StatusRole,
        SightRole,
        IconSourceRole,
        ToolTipRole,
        LabelRole,
        PayloadRole,
        IsNewRole,
    };
    Q_ENUM(Role)

    // The app's bundle identifier: the row's key and its bundleID.
    QString key;
    QString name;
    QString status;
    QString sight;
    QString iconSource;
    QString toolTip;
    // The card's accessible name: the card item has an accessibleName of its own.
    QString label;
    QString payload;
    bool isNew = false;

    QVariant data(Role role) const;
};

// A section of the organizer in marker mode.
struct TrayOrganizerMarkerRow {
    Q_GADGET

public:
    enum Role : int {
        SectionRole = Qt::UserRole + 1,
        TitleRole,
        SymbolRole,
        CountRole,
        ItemsRole,
    };
    Q_ENUM(Role)

    // The section's raw value: the row's key and its section.
    QString key;
    QString title;
    QString symbol;
    int count = 0;
    // The section's list of items.
    QObject* items = nullptr;

    QVariant data(Role role) const;
};

// An item the map places in a marker mode section.
struct TrayOrganizerMarkerItemRow {
    Q_GADGET

public:
    // ItemID: a QML object cannot have a property named "id".
    enum Role : int {
        ItemIDRole = Qt::UserRole + 1,
        TitleRole,
        IconSourceRole,
    };
    Q_ENUM(Role)

    // The item's identifier: the row's key and its itemID.
    QString key;
    QString title;
    QString iconSource;

    QVariant data(Role role) const;
};

} // namespace velmor
