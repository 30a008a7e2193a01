#include "simulated_mac/views/menu_bar_presenter.h"

#include "platform/system_symbols.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_status_item.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <QLocale>

#include <algorithm>
#include <utility>

namespace velmor::simulated_mac {
namespace {

// The system's own items: the control center draws a symbol, the clock the time.
constexpr const char* controlCenterSymbol = "switch.2";
const QString controlCenterName = QStringLiteral("BentoBox");
const QString clockName = QStringLiteral("Clock");
const QString clockFormat = QStringLiteral("ddd HH:mm");
// How wide the simulated Mac draws a menu, to keep an extra's menu on the bar.
constexpr double menuWidth = 220;

// A menu's rows by their place.
QList<MenuItemRow> menuRows(const platform::Menu& menu)
{
    QList<MenuItemRow> rows;
    for (qsizetype i = 0; i < menu.size(); ++i) {
        const platform::MenuItem& item = menu[i];
        rows.append({.key = QString::number(i),
                     .title = item.title,
                     .available = item.enabled && !item.separator,
                     .separator = item.separator});
    }
    return rows;
}

} // namespace

QVariant AppMenuRow::data(Role role) const
{
    switch (role) {
    case TitleRole:
        return title;
    case BoldRole:
        return bold;
    }
    return {};
}

QVariant BarItemRow::data(Role role) const
{
    switch (role) {
    case KeyRole:
        return positionKey;
    case ItemWidthRole:
        return itemWidth;
    case ShownRole:
        return shown;
    case ClippedRole:
        return clipped;
    case TitleRole:
        return title;
    case GlyphRole:
        return glyph;
    case IconSourceRole:
        return iconSource;
    case ImageFirstRole:
        return imageFirst;
    case DimmedRole:
        return dimmed;
    case ToolTipRole:
        return toolTip;
    case AccessibleNameRole:
        return accessibleName;
    }
    return {};
}

QVariant MenuItemRow::data(Role role) const
{
    switch (role) {
    case TitleRole:
        return title;
    case AvailableRole:
        return available;
    case SeparatorRole:
        return separator;
    }
    return {};
}

MenuBarPresenter::MenuBarPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_appMenus(this), m_statusItems(this), m_systemItems(this),
      m_menuItems(this), m_extraMenuItems(this), m_appMenuItems(this)
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

void MenuBarPresenter::refresh()
{
    m_mainMenu = m_desktop.frontmostMenu();
    QList<AppMenuRow> menus;
    for (qsizetype i = 0; i < m_mainMenu.size(); ++i)
        menus.append({.key = QString::number(i) + u' ' + m_mainMenu[i].title,
                      .title = m_mainMenu[i].title,
                      .bold = i == 0});
    m_appMenus.setRows(menus);
    refreshItems();
    refreshMenus();
}

BarItemRow MenuBarPresenter::itemRow(const MenuBarEntry& entry) const
{
    QString title = entry.extra.title;
    QString glyph;
    QString toolTip;
    QString accessibleName = !entry.extra.title.isEmpty() ? entry.extra.title : entry.extra.description;
    bool imageFirst = true;
    bool dimmed = false;
    if (entry.statusItem) {
        const SimulatedStatusButton& button = entry.statusItem->simulatedButton();
        const bool imageOnly = button.imagePosition() == platform::ImagePosition::ImageOnly;
        title = imageOnly ? QString() : button.title();
        if (button.hasImage())
            glyph = platform::SystemSymbols::glyph(button.symbolName()).value_or(QString());
        imageFirst = button.imagePosition() != platform::ImagePosition::ImageRight;
        dimmed = button.appearsDisabled() || !button.isEnabled();
        toolTip = button.toolTip();
        accessibleName =
            !button.accessibilityDescription().isEmpty() ? button.accessibilityDescription() : button.title();
    }
    if (entry.kind == MenuBarEntry::Kind::System) {
        if (entry.name == controlCenterName)
            glyph = platform::SystemSymbols::glyph(QString::fromLatin1(controlCenterSymbol)).value_or(QString());
        else if (entry.name == clockName)
            title = QLocale(QLocale::English).toString(m_desktop.currentDate().toLocalTime(), clockFormat);
    }
    // An extra without a title draws its app's icon, as most menu bar extras do.
    const bool showsIcon = entry.kind == MenuBarEntry::Kind::Extra && title.isEmpty();
    if (accessibleName.isEmpty())
        accessibleName = entry.name;
    const bool clipped =
        entry.frame && entry.visibleFrame && entry.visibleFrame->width() < entry.frame->width();
    return {.key = QString::number(entry.id),
            .positionKey = entry.key(),
            .itemWidth = entry.width,
            .shown = entry.visible,
            .clipped = clipped,
            .title = title,
            .glyph = glyph,
            .iconSource = showsIcon ? SimulatedIconProvider::source(entry.owner) : QString(),
            .imageFirst = imageFirst,
            .dimmed = dimmed,
            .toolTip = toolTip,
            .accessibleName = accessibleName};
}

QVariantList MenuBarPresenter::likeness(const QRectF& screen, std::optional<double> housingWidth) const
{
    QVariantList items;
    for (const MenuBarPlacement& laid : m_desktop.menuBar().layoutOn(screen, housingWidth)) {
        if (!laid.onScreen || !laid.visibleFrame)
            continue;
        QVariantMap item = KeyedListModelOf<BarItemRow>::namedValues(itemRow(*laid.entry));
        item.insert(QStringLiteral("x"), laid.frame.left() - screen.left());
        items.append(item);
    }
    return items;
}

void MenuBarPresenter::refreshItems()
{
    const SimulatedMenuBar& menuBar = m_desktop.menuBar();
    QList<const MenuBarEntry*> status;
    QList<BarItemRow> system;
    for (const MenuBarEntry* entry : menuBar.leftToRight()) {
        if (!entry->onScreen || !entry->visibleFrame)
            continue;
        if (entry->kind == MenuBarEntry::Kind::System)
            system.append(itemRow(*entry));
        else
            status.append(entry);
    }
    if (menuBar.isLaidOut()) {
        for (SimulatedStatusItem* item : m_desktop.statusBar().items()) {
            const MenuBarEntry* entry = menuBar.entry(item->entryId());
            if (entry && !entry->visible)
                status.append(entry);
        }
        // The order the system lays items out in, from the left: a hidden item sits where it
        // will show again.
        std::stable_sort(status.begin(), status.end(), [](const MenuBarEntry* a, const MenuBarEntry* b) {
            return a->position != b->position ? a->position > b->position : a->id > b->id;
        });
    }
    QList<BarItemRow> rows;
    rows.reserve(status.size());
    for (const MenuBarEntry* entry : status)
        rows.append(itemRow(*entry));
    m_statusItems.setRows(rows);
    m_systemItems.setRows(system);

    // Where the system puts status items: they end where its own items begin, and only those
    // right of the app menus' limit, or of the camera housing, are seen.
    const QRectF bar = menuBar.frame();
    const ScenarioMenuBar& settings = m_desktop.scenario().menuBar;
    const auto housing = menuBar.housing();
    const double statusLeft = housing ? housing->right() - bar.left() : settings.leftLimit;
    const double statusRight = bar.width() - settings.systemItemsWidth;
    const double housingX = housing ? housing->left() - bar.left() : 0;
    const double housingWidth = housing ? housing->width() : 0;
    bool moved = std::exchange(m_statusLeft, statusLeft) != statusLeft;
    moved = std::exchange(m_statusRight, statusRight) != statusRight || moved;
    moved = std::exchange(m_housingX, housingX) != housingX || moved;
    moved = std::exchange(m_housingWidth, housingWidth) != housingWidth || moved;
    if (moved)
        Q_EMIT geometryChanged();
}

void MenuBarPresenter::refreshMenus()
{
    const SimulatedMenuBar& menuBar = m_desktop.menuBar();
    const QRectF bar = menuBar.frame();
    const std::optional<platform::Menu>& open = m_desktop.statusBar().openMenu();
    m_menuItems.setRows(open ? menuRows(*open) : QList<MenuItemRow>{});
    if (open) {
        // The menu hangs under this app's item that has one.
        for (const MenuBarEntry* entry : menuBar.leftToRight()) {
            if (entry->onScreen && entry->visibleFrame && entry->statusItem && entry->statusItem->menu())
                m_clickedX = entry->visibleFrame->left() - bar.left();
        }
    }
    const bool menuOpen = open && !open->isEmpty();
    bool menuDiffers = std::exchange(m_menuOpen, menuOpen) != menuOpen;
    menuDiffers = std::exchange(m_menuX, m_clickedX) != m_clickedX || menuDiffers;

    const auto& extra = m_desktop.extraMenu();
    m_extraMenuItems.setRows(extra ? menuRows(extra->items) : QList<MenuItemRow>{});
    double extraX = m_extraMenuX;
    if (extra) {
        // An extra out of sight still has its frame: its menu opens there, on the bar.
        const MenuBarEntry* entry = menuBar.entry(extra->entryId);
        const double left = entry && entry->frame ? entry->frame->left() - bar.left() : 0;
        extraX = std::clamp(left, 0.0, std::max(0.0, bar.width() - menuWidth));
    }
    const bool extraOpen = extra && !extra->items.isEmpty();
    bool extraDiffers = std::exchange(m_extraMenuOpen, extraOpen) != extraOpen;
    extraDiffers = std::exchange(m_extraMenuX, extraX) != extraX || extraDiffers;

    if (menuDiffers)
        Q_EMIT menuChanged();
    if (extraDiffers)
        Q_EMIT extraMenuChanged();
}

bool MenuBarPresenter::click(const QString& key, bool rightButton)
{
    for (SimulatedStatusItem* item : m_desktop.statusBar().items()) {
        const MenuBarEntry* entry = m_desktop.menuBar().entry(item->entryId());
        if (entry && entry->key() == key) {
            if (entry->visibleFrame)
                m_clickedX = entry->visibleFrame->left() - m_desktop.menuBar().frame().left();
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
    const std::optional<platform::Menu>& open = m_desktop.statusBar().openMenu();
    if (!open || index < 0 || index >= open->size())
        return false;
    const bool chosen = m_desktop.statusBar().chooseMenuItem(open->at(index).title);
    refreshMenus();
    return chosen;
}

// The window's menu closed: the presenter says so at once, so a menu opened again before the
// desktop's next redraw is seen as opened.
void MenuBarPresenter::closeMenu()
{
    m_desktop.statusBar().closeMenu();
    refreshMenus();
}

bool MenuBarPresenter::chooseExtraMenuItem(int index)
{
    const bool chosen = m_desktop.chooseExtraMenuItem(index);
    refreshMenus();
    return chosen;
}

void MenuBarPresenter::closeExtraMenu()
{
    m_desktop.closeExtraMenu();
    refreshMenus();
}

void MenuBarPresenter::loadAppMenu(int index)
{
    m_appMenuItems.setRows(index >= 0 && index < m_mainMenu.size() ? menuRows(m_mainMenu[index].items)
                                                                   : QList<MenuItemRow>{});
}

bool MenuBarPresenter::chooseAppMenuItem(int menuIndex, int itemIndex)
{
    if (menuIndex < 0 || menuIndex >= m_mainMenu.size())
        return false;
    const platform::Menu& items = m_mainMenu[menuIndex].items;
    if (itemIndex < 0 || itemIndex >= items.size())
        return false;
    const platform::MenuItem item = items[itemIndex];
    if (item.separator || !item.enabled || !item.action)
        return false;
    item.action();
    return true;
}

} // namespace velmor::simulated_mac
