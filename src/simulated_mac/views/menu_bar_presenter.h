#pragma once

#include "foundation/keyed_list_model.h"
#include "platform/menu.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;
struct MenuBarEntry;

// One of the frontmost app's menus on the bar's left.
struct AppMenuRow {
    Q_GADGET

public:
    enum Role : int {
        TitleRole = Qt::UserRole + 1,
        BoldRole,
    };
    Q_ENUM(Role)

    // The menu's place and title.
    QString key;
    QString title;
    // The application menu.
    bool bold = false;

    QVariant data(Role role) const;
};

// An item on the bar: this app's status item, another app's extra or the system's own.
struct BarItemRow {
    Q_GADGET

public:
    enum Role : int {
        KeyRole = Qt::UserRole + 1,
        ItemWidthRole,
        ShownRole,
        ClippedRole,
        TitleRole,
        GlyphRole,
        IconSourceRole,
        ImageFirstRole,
        DimmedRole,
        ToolTipRole,
        AccessibleNameRole,
    };
    Q_ENUM(Role)

    // The entry's number; the item's preferred-position key, which the views read as `key`, is
    // `positionKey`.
    QString key;
    QString positionKey;
    double itemWidth = 0;
    bool shown = false;
    // Only its right part lies right of `statusLeft`.
    bool clipped = false;
    QString title;
    QString glyph;
    QString iconSource;
    bool imageFirst = true;
    bool dimmed = false;
    QString toolTip;
    QString accessibleName;

    QVariant data(Role role) const;
};

// An item of an open menu.
struct MenuItemRow {
    Q_GADGET

public:
    enum Role : int {
        TitleRole = Qt::UserRole + 1,
        AvailableRole,
        SeparatorRole,
    };
    Q_ENUM(Role)

    // The item's place: titles repeat (separators have none).
    QString key;
    QString title;
    bool available = false;
    bool separator = false;

    QVariant data(Role role) const;
};

// The simulated menu bar as drawn: on the left the frontmost app's menus, on the right the status
// items where the layout puts them (off-screen ones are left out), and the menu a status item
// opened. A person's clicks, right clicks and Command-drags go to the desktop as mouse events.
class MenuBarPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(double height READ height CONSTANT)
    Q_PROPERTY(QObject* appMenus READ appMenus CONSTANT)
    Q_PROPERTY(QObject* statusItems READ statusItems CONSTANT)
    Q_PROPERTY(QObject* systemItems READ systemItems CONSTANT)
    Q_PROPERTY(double statusLeft READ statusLeft NOTIFY geometryChanged)
    Q_PROPERTY(double statusRight READ statusRight NOTIFY geometryChanged)
    Q_PROPERTY(double housingX READ housingX NOTIFY geometryChanged)
    Q_PROPERTY(double housingWidth READ housingWidth NOTIFY geometryChanged)
    Q_PROPERTY(QObject* menuItems READ menuItems CONSTANT)
    Q_PROPERTY(bool menuOpen READ menuOpen NOTIFY menuChanged)
    Q_PROPERTY(double menuX READ menuX NOTIFY menuChanged)
    Q_PROPERTY(QObject* extraMenuItems READ extraMenuItems CONSTANT)
    Q_PROPERTY(bool extraMenuOpen READ extraMenuOpen NOTIFY extraMenuChanged)
    Q_PROPERTY(double extraMenuX READ extraMenuX NOTIFY extraMenuChanged)
    Q_PROPERTY(QObject* appMenuItems READ appMenuItems CONSTANT)

public:
    MenuBarPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    double height() const;
    // The application menu first.
    KeyedListModelOf<AppMenuRow>* appMenus() { return &m_appMenus; }
    // This app's items and other apps' extras, left to right, each as wide as it is: laid side by
    // side they end at `statusRight`, as the system lays them out. An item this app hid keeps its
    // row (not shown) and so its place, so hiding or showing it changes that row alone.
    KeyedListModelOf<BarItemRow>* statusItems() { return &m_statusItems; }
    // The system's own items, left to right from `statusRight`.
    KeyedListModelOf<BarItemRow>* systemItems() { return &m_systemItems; }
    // From the bar's left edge: where status items must begin to be seen, and where they end.
    double statusLeft() const { return m_statusLeft; }
    double statusRight() const { return m_statusRight; }
    // The camera housing from the bar's left edge; width 0 without one.
    double housingX() const { return m_housingX; }
    double housingWidth() const { return m_housingWidth; }
    // The menu of this app's status item a click opened.
    KeyedListModelOf<MenuItemRow>* menuItems() { return &m_menuItems; }
    bool menuOpen() const { return m_menuOpen; }
    double menuX() const { return m_menuX; }
    // The menu another app's extra opened; it hangs under the extra, kept inside the bar,
    // wherever the extra is.
    KeyedListModelOf<MenuItemRow>* extraMenuItems() { return &m_extraMenuItems; }
    bool extraMenuOpen() const { return m_extraMenuOpen; }
    double extraMenuX() const { return m_extraMenuX; }
    // The frontmost app's menu `loadAppMenu` chose.
    KeyedListModelOf<MenuItemRow>* appMenuItems() { return &m_appMenuItems; }

    void refresh();

    // A person's gestures on a status item (by its preferred-position key).
    Q_INVOKABLE bool click(const QString& key, bool rightButton);
    // A click at `x` on the bar (points from its left edge) that no item or menu took.
    Q_INVOKABLE bool clickBar(double x);
    // Command-drag (Control-drag on keyboards without Command) dropped at `x` on the bar.
    Q_INVOKABLE bool commandDrag(const QString& key, double x);
    Q_INVOKABLE bool chooseMenuItem(int index);
    Q_INVOKABLE void closeMenu();
    Q_INVOKABLE bool chooseExtraMenuItem(int index);
    Q_INVOKABLE void closeExtraMenu();
    // Fills `appMenuItems` with the items of the frontmost app's menu at `index`.
    Q_INVOKABLE void loadAppMenu(int index);
    Q_INVOKABLE bool chooseAppMenuItem(int menuIndex, int itemIndex);

    // What the bar of a display that is not in use shows: the same items laid out by that
    // display's width and housing, each a map of a BarItemRow's roles with its `x` from the bar's left
    // edge; only those a person sees there.
    QVariantList likeness(const QRectF& screen, std::optional<double> housingWidth) const;

Q_SIGNALS:
    void geometryChanged();
    void menuChanged();
    void extraMenuChanged();

private:
    BarItemRow itemRow(const MenuBarEntry& entry) const;
    void refreshItems();
    void refreshMenus();

    SimulatedDesktop& m_desktop;
    platform::MainMenu m_mainMenu;
    KeyedListModelOf<AppMenuRow> m_appMenus;
    KeyedListModelOf<BarItemRow> m_statusItems;
    KeyedListModelOf<BarItemRow> m_systemItems;
    KeyedListModelOf<MenuItemRow> m_menuItems;
    KeyedListModelOf<MenuItemRow> m_extraMenuItems;
    KeyedListModelOf<MenuItemRow> m_appMenuItems;
    double m_statusLeft = 0;
    double m_statusRight = 0;
    double m_housingX = 0;
    double m_housingWidth = 0;
    bool m_menuOpen = false;
    double m_menuX = 0;
    // Where the item clicked last begins: the menu its click opens hangs there.
    double m_clickedX = 0;
    bool m_extraMenuOpen = false;
    double m_extraMenuX = 0;
};

} // namespace velmor::simulated_mac
