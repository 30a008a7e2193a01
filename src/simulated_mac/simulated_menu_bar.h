#pragma once

#include "simulated_mac/menu_bar_layout.h"
#include "simulated_mac/scenario.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace velmor::simulated_mac {

class SimulatedPreferenceDomains;
class SimulatedStatusItem;

// One item shown in the menu bar: another app's extra, one of this app's status items, or one of
// the system's own items at the right end.
struct MenuBarEntry {
    enum class Kind { Extra, OwnItem, System };

    // New every time an item is shown, so that an item shown again is a new element.
    quint64 id = 0;
    Kind kind = Kind::Extra;
    qint32 pid = 0;
    // The first half of the preferred-position key: bundle identifier, or the app's name.
    QString owner;
    // The second half: the extra's name or the status item's autosave name.
    QString name;
    double width = 0;
    // Read when the item is shown; larger is further left.
    double position = 0;
    bool visible = true;
    // What Accessibility reports of extras and system items.
    ScenarioExtra extra;
    SimulatedStatusItem* statusItem = nullptr;
    // Screen coordinates; absent while the item takes no space.
    std::optional<QRectF> frame;
    bool onScreen = false;
    // The part of the frame a person sees and can click; all of it unless a wide item is clipped.
    std::optional<QRectF> visibleFrame;

    QString key() const { return QStringLiteral("status:") + owner + QStringLiteral("::") + name; }
};

// One item as a display's bar lays it out.
struct MenuBarPlacement {
    const MenuBarEntry* entry = nullptr;
    // Screen coordinates.
    QRectF frame;
    bool onScreen = false;
    std::optional<QRectF> visibleFrame;
};

// The menu bar in use (the main display's, or another display's once a person works there): which
// items are shown, their preferred positions (read from
// the menu bar domain when an item is shown, not while it stays shown) and where they are. On a
// screen with a camera housing the status items lie right of it: one that would reach into the
// housing is off screen, as is everything on its left, though it keeps its frame.
class SimulatedMenuBar final {
public:
    // Distance between a new leftmost item's position and the largest one before it.
    static constexpr double positionStep = 40;

    SimulatedMenuBar(QRectF primaryScreen, std::optional<double> housingWidth, ScenarioMenuBar settings,
                     SimulatedPreferenceDomains& domains);

    // Where the items would lie on the bar of a display with this frame and housing: every display
    // lays out the same items by its own width, housing and the frontmost app's menus. Items that
    // take space, left to right.
    std::vector<MenuBarPlacement> layoutOn(const QRectF& screen, std::optional<double> housingWidth) const;

    // Shows an item. Status items read their stored position; one without places itself leftmost
    // and stores that. System items keep their fixed place at the right end.
    quint64 show(MenuBarEntry entry);
    // Shows several items, in order, as one change of the bar: one read of the stored positions,
    // one write of the new ones, one layout.
    QList<quint64> show(std::vector<MenuBarEntry> entries);
    void remove(quint64 id) { remove(QList<quint64>{id}); }
    // Removes items as one change of the bar.
    void remove(const QList<quint64>& ids);
    const MenuBarEntry* entry(quint64 id) const;

    void setWidth(quint64 id, double width);
    void setVisible(quint64 id, bool visible);
    // A new autosave name: the item reads the position stored under it.
    void rename(quint64 id, const QString& name);
    // An extra's new title, as an app that shows a clock or a meter sets it.
    void setTitle(quint64 id, const QString& title);
    // Until the session draws the bar (late at login, or while the display sleeps) nothing is
    // laid out: items take no place and have no frames.
    void setLaidOut(bool laidOut);
    bool isLaidOut() const { return m_laidOut; }
    // What a Command-drag does when the item is dropped at `x`: it lands in the gap nearest to
    // the pointer, between its new neighbours, and its new preferred position is stored. False
    // when it stays where it was.
    bool drop(quint64 id, double x);

    // The items of one process, in the order they were shown.
    QList<const MenuBarEntry*> entriesOf(qint32 pid) const;
    // Items that take space, left to right, off-screen ones included.
    QList<const MenuBarEntry*> leftToRight() const;
    // The on-screen item under a point in Accessibility coordinates (origin top left of the
    // primary screen, y down); an item owns its left and top edges, not its right and bottom ones.
    const MenuBarEntry* entryAt(QPointF accessibilityPoint) const;
    // Whether a point in Accessibility coordinates lies on the bar, by the same edge rule.
    bool covers(QPointF accessibilityPoint) const;

    QRectF toAccessibility(const QRectF& screenRect) const;
    QPointF toScreen(QPointF accessibilityPoint) const;

    // Where an app's own user defaults place its status item with this autosave name (the Mac's
    // "NSStatusItem Preferred Position" key): read for an item the bar has no position for yet.
    void setRememberedPosition(std::function<std::optional<double>(const QString& name)> lookup)
    {
        m_remembered = std::move(lookup);
    }

    // Told after anything a person would see on the bar changed: items, places or looks.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // An item's looks changed without its width (a new image or title).
    void redraw(quint64 id);

    // Screen coordinates.
    QRectF frame() const;
    // The display whose bar this is.
    const QRectF& screen() const { return m_screen; }
    // The display that holds the origin of both coordinate systems.
    const QRectF& primaryScreen() const { return m_primary; }
    // The camera housing the bar flows around; absent on a screen without one.
    std::optional<QRectF> housing() const;
    // The x where the frontmost app's menus end (screen coordinates): left of a housing, else
    // the scenario's limit.
    double menusEnd() const;
    // The bar moves to another display (or the same one changes): everything is laid out anew.
    // `primary` is the display that now holds the origin.
    void setScreen(QRectF screen, std::optional<double> housingWidth, QRectF primary);
    void setScreen(QRectF primaryScreen, std::optional<double> housingWidth)
    {
        setScreen(primaryScreen, housingWidth, primaryScreen);
    }

private:
    // The place the app remembers for its own item, if any.
    std::optional<double> remembered(const MenuBarEntry& entry) const;
    // The largest position an item has, stored or shown.
    double largestPosition(const std::optional<QHash<QString, double>>& stored) const;
    MenuBarLayout::Geometry layoutGeometry() const;
    static MenuBarLayout::Geometry layoutGeometry(const QRectF& bar, std::optional<QRectF> housing,
                                                  const ScenarioMenuBar& settings);
    QRectF barOn(const QRectF& screen) const;
    void relayout();
    MenuBarEntry* find(quint64 id);

    QRectF m_screen;
    QRectF m_primary;
    std::optional<double> m_housingWidth;
    ScenarioMenuBar m_settings;
    SimulatedPreferenceDomains& m_domains;
    std::map<quint64, MenuBarEntry> m_entries;
    // Entry ids by process, in the order they were shown.
    QHash<qint32, QList<quint64>> m_byProcess;
    // Entries that take space, left to right, as the last layout placed them, and those of them on
    // screen by the left edge of their visible part.
    std::vector<const MenuBarEntry*> m_placed;
    std::vector<const MenuBarEntry*> m_onScreen;
    std::function<void()> m_changed;
    std::function<std::optional<double>(const QString& name)> m_remembered;
    quint64 m_nextId = 1;
    bool m_laidOut = true;
};

} // namespace velmor::simulated_mac
