#include "platform/simulated/views/menu_bar_presenter.h"

#include "platform/simulated/simulated_desktop.h"
#include "platform/simulated/simulated_status_item.h"
#include "platform/simulated/views/simulated_icon_provider.h"
#include "platform/system_symbols.h"

#include <QLocale>

#include <algorithm>

namespace velmor::platform {
namespace {

// The system's own items: the control center draws a symbol, the clock the time.
constexpr const char* controlCenterSymbol = "switch.2";
const QString controlCenterName = QStringLiteral("BentoBox");
const QString clockName = QStringLiteral("Clock");
const QString clockFormat = QStringLiteral("ddd HH:mm");
// How wide the simulated Mac draws a menu, to keep an extra's menu on the bar.
constexpr double menuWidth = 220;

QString kindName(MenuBarEntry::Kind kind)
{
    switch (kind) {
    case MenuBarEntry::Kind::Extra:
        return QStringLiteral("extra");
    case MenuBarEntry::Kind::OwnItem:
        return QStringLiteral("own");
    case MenuBarEntry::Kind::System:
        return QStringLiteral("system");
    }
    return {};
}

} // namespace

MenuBarPresenter::MenuBarPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop)
{
    refresh();
}

double MenuBarPresenter::height() const
{
    return m_desktop.menuBar().frame().height();
}

bool MenuBarPresenter::clickBar(double x)
{
    const QRectF bar = m_desktop.menuBar().frame();
    return m_desktop.clickBar(QPointF(bar.left() + x, bar.center().y()));
}

QVariantList MenuBarPresenter::menuItems(const Menu& menu)
{
    QVariantList items;
    for (const MenuItem& item : menu) {
        items.append(QVariantMap{{QStringLiteral("title"), item.title},
                                 {QStringLiteral("enabled"), item.enabled && !item.separator},
                                 {QStringLiteral("separator"), item.separator}});
    }
    return items;
}

void MenuBarPresenter::refresh()
{
    m_mainMenu = m_desktop.frontmostMenu();
    m_appMenus.clear();
    for (int i = 0; i < m_mainMenu.size(); ++i)
        m_appMenus.append(
            QVariantMap{{QStringLiteral("title"), m_mainMenu[i].title}, {QStringLiteral("bold"), i == 0}});

    const QRectF bar = m_desktop.menuBar().frame();
    m_items.clear();
    double menuX = m_openMenuX;
    for (const MenuBarEntry* entry : m_desktop.menuBar().leftToRight()) {
        if (!entry->onScreen || !entry->frame || !entry->visibleFrame)
            continue;
        QString title = entry->extra.title;
        QString glyph;
        QString toolTip;
        QString accessibleName =
            !entry->extra.title.isEmpty() ? entry->extra.title : entry->extra.description;
        bool imageFirst = true;
        bool dimmed = false;
        if (entry->statusItem) {
            const SimulatedStatusButton& button = entry->statusItem->simulatedButton();
            const bool imageOnly = button.imagePosition() == ImagePosition::ImageOnly;
            title = imageOnly ? QString() : button.title();
            if (button.hasImage())
                glyph = SystemSymbols::glyph(button.symbolName()).value_or(QString());
            imageFirst = button.imagePosition() != ImagePosition::ImageRight;
            dimmed = button.appearsDisabled() || !button.isEnabled();
            toolTip = button.toolTip();
            accessibleName = !button.accessibilityDescription().isEmpty() ? button.accessibilityDescription()
                                                                          : button.title();
            if (m_desktop.statusBar().openMenu() && entry->statusItem->menu())
                menuX = entry->visibleFrame->left() - bar.left();
        }
        if (entry->kind == MenuBarEntry::Kind::System) {
            if (entry->name == controlCenterName)
                glyph = SystemSymbols::glyph(QString::fromLatin1(controlCenterSymbol)).value_or(QString());
            else if (entry->name == clockName)
                title =
                    QLocale(QLocale::English).toString(m_desktop.currentDate().toLocalTime(), clockFormat);
        }
        // An extra without a title draws its app's icon, as most menu bar extras do.
        const bool showsIcon = entry->kind == MenuBarEntry::Kind::Extra && title.isEmpty();
        if (accessibleName.isEmpty())
            accessibleName = entry->name;
        m_items.append(QVariantMap{
            {QStringLiteral("key"), entry->key()},
            {QStringLiteral("owner"), entry->owner},
            {QStringLiteral("kind"), kindName(entry->kind)},
            {QStringLiteral("x"), entry->frame->left() - bar.left()},
            {QStringLiteral("width"), entry->frame->width()},
            {QStringLiteral("visibleX"), entry->visibleFrame->left() - bar.left()},
            {QStringLiteral("visibleWidth"), entry->visibleFrame->width()},
            {QStringLiteral("title"), title},
            {QStringLiteral("glyph"), glyph},
            {QStringLiteral("iconSource"),
             showsIcon ? SimulatedIconProvider::source(entry->owner) : QString()},
            {QStringLiteral("imageFirst"), imageFirst},
            {QStringLiteral("dimmed"), dimmed},
            {QStringLiteral("toolTip"), toolTip},
            {QStringLiteral("accessibleName"), accessibleName},
        });
    }
    const std::optional<Menu>& open = m_desktop.statusBar().openMenu();
    m_openMenu = open ? menuItems(*open) : QVariantList{};
    // The menu opens under the item that was clicked last.
    m_openMenuX = menuX;

    const auto& extra = m_desktop.extraMenu();
    m_extraMenu = extra ? menuItems(extra->items) : QVariantList{};
    if (extra) {
        // An extra out of sight still has its frame: its menu opens there, on the bar.
        const MenuBarEntry* entry = m_desktop.menuBar().entry(extra->entryId);
        const double left = entry && entry->frame ? entry->frame->left() - bar.left() : 0;
        m_extraMenuX = std::clamp(left, 0.0, std::max(0.0, bar.width() - menuWidth));
    }
    const auto housing = m_desktop.menuBar().housing();
    m_housingX = housing ? housing->left() - bar.left() : 0;
    m_housingWidth = housing ? housing->width() : 0;
    Q_EMIT changed();
}

bool MenuBarPresenter::click(const QString& key, bool rightButton)
{
    for (SimulatedStatusItem* item : m_desktop.statusBar().items()) {
        const MenuBarEntry* entry = m_desktop.menuBar().entry(item->entryId());
        if (entry && entry->key() == key) {
            if (entry->visibleFrame)
                m_openMenuX = entry->visibleFrame->left() - m_desktop.menuBar().frame().left();
            return m_desktop.statusBar().click(*item, rightButton);
        }
    }
    // Other apps' extras open their own menus, with either button.
    return m_desktop.clickExtra(key);
}

bool MenuBarPresenter::commandDrag(const QString& key, double x)
{
    const QRectF bar = m_desktop.menuBar().frame();
    return m_desktop.commandDrag(key, QPointF(bar.left() + x, bar.center().y()));
}

bool MenuBarPresenter::chooseMenuItem(int index)
{
    const std::optional<Menu>& open = m_desktop.statusBar().openMenu();
    if (!open || index < 0 || index >= open->size())
        return false;
    return m_desktop.statusBar().chooseMenuItem(open->at(index).title);
}

void MenuBarPresenter::closeMenu()
{
    m_desktop.statusBar().closeMenu();
}

bool MenuBarPresenter::chooseExtraMenuItem(int index)
{
    return m_desktop.chooseExtraMenuItem(index);
}

void MenuBarPresenter::closeExtraMenu()
{
    m_desktop.closeExtraMenu();
}

QVariantList MenuBarPresenter::appMenuItems(int index) const
{
    if (index < 0 || index >= m_mainMenu.size())
        return {};
    return menuItems(m_mainMenu[index].items);
}

bool MenuBarPresenter::chooseAppMenuItem(int menuIndex, int itemIndex)
{
    if (menuIndex < 0 || menuIndex >= m_mainMenu.size())
        return false;
    const Menu& items = m_mainMenu[menuIndex].items;
    if (itemIndex < 0 || itemIndex >= items.size())
        return false;
    const MenuItem item = items[itemIndex];
    if (item.separator || !item.enabled || !item.action)
        return false;
    item.action();
    return true;
}

} // namespace velmor::platform
