#pragma once

#include "platform/menu.h"

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace velmor::platform {

class SimulatedDesktop;

// The simulated menu bar as drawn: on the left the frontmost app's menus, on the right the status
// items where the layout puts them (off-screen ones are left out), and the menu a status item
// opened. A person's clicks, right clicks and Command-drags go to the desktop as mouse events.
class MenuBarPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(double height READ height CONSTANT)
    Q_PROPERTY(QVariantList appMenus READ appMenus NOTIFY changed)
    Q_PROPERTY(QVariantList items READ items NOTIFY changed)
    Q_PROPERTY(QVariantList openMenu READ openMenu NOTIFY changed)
    Q_PROPERTY(double openMenuX READ openMenuX NOTIFY changed)

public:
    MenuBarPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    double height() const;
    // {title, bold}: the application menu (bold) first.
    const QVariantList& appMenus() const { return m_appMenus; }
    // {key, kind ("extra", "own", "system"), x, width, visibleX, visibleWidth, title, glyph,
    // imageFirst, dimmed, toolTip, accessibleName}; x in points from the bar's left edge.
    const QVariantList& items() const { return m_items; }
    // {title, enabled, separator}; empty while no status item's menu is open.
    const QVariantList& openMenu() const { return m_openMenu; }
    double openMenuX() const { return m_openMenuX; }

    void refresh();

    // A person's gestures on a status item (by its preferred-position key).
    Q_INVOKABLE bool click(const QString& key, bool rightButton);
    // Command-drag (Control-drag on keyboards without Command) dropped at `x` on the bar.
    Q_INVOKABLE bool commandDrag(const QString& key, double x);
    Q_INVOKABLE bool chooseMenuItem(int index);
    Q_INVOKABLE void closeMenu();
    // The items of the frontmost app's menu at `index`: {title, enabled, separator}.
    Q_INVOKABLE QVariantList appMenuItems(int index) const;
    Q_INVOKABLE bool chooseAppMenuItem(int menuIndex, int itemIndex);

    static QVariantList menuItems(const Menu& menu);

Q_SIGNALS:
    void changed();

private:
    SimulatedDesktop& m_desktop;
    MainMenu m_mainMenu;
    QVariantList m_appMenus;
    QVariantList m_items;
    QVariantList m_openMenu;
    double m_openMenuX = 0;
};

} // namespace velmor::platform
