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
    Q_PROPERTY(QVariantList extraMenu READ extraMenu NOTIFY changed)
    Q_PROPERTY(double extraMenuX READ extraMenuX NOTIFY changed)
    Q_PROPERTY(double housingX READ housingX NOTIFY changed)
    Q_PROPERTY(double housingWidth READ housingWidth NOTIFY changed)

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
    // The menu another app's extra opened: {title, enabled, separator}, empty while none is open;
    // it hangs under the extra, kept inside the bar, wherever the extra is.
    const QVariantList& extraMenu() const { return m_extraMenu; }
    double extraMenuX() const { return m_extraMenuX; }
    // The camera housing from the bar's left edge; width 0 without one.
    double housingX() const { return m_housingX; }
    double housingWidth() const { return m_housingWidth; }

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
    QVariantList m_extraMenu;
    double m_extraMenuX = 0;
    double m_housingX = 0;
    double m_housingWidth = 0;
};

} // namespace velmor::platform
