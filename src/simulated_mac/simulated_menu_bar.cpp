#include "simulated_mac/simulated_menu_bar.h"

#include "simulated_mac/menu_bar_layout.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_screens.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace velmor::simulated_mac {
namespace {

// Keeps a drop from choosing a gap left of the visible part while one on screen exists.
constexpr double offScreenPenalty = 1e9;

bool ownsPoint(const QRectF& rect, QPointF point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() &&
           point.y() < rect.bottom();
}

} // namespace

SimulatedMenuBar::SimulatedMenuBar(QRectF primaryScreen, std::optional<double> housingWidth,
                                   ScenarioMenuBar settings, SimulatedPreferenceDomains& domains)
    : m_screen(primaryScreen), m_primary(primaryScreen), m_housingWidth(housingWidth), m_settings(settings),
      m_domains(domains)
{}

std::optional<QRectF> SimulatedMenuBar::housing() const
{
    const SimulatedScreens::Display display{m_screen, m_housingWidth, {}, false};
    return SimulatedScreens::topArea(display, m_settings.height).housing();
}

void SimulatedMenuBar::setScreen(QRectF screen, std::optional<double> housingWidth, QRectF primary)
{
    if (screen == m_screen && housingWidth == m_housingWidth && primary == m_primary)
        return;
    m_screen = screen;
    m_housingWidth = housingWidth;
    m_primary = primary;
    relayout();
}

double SimulatedMenuBar::menusEnd() const
{
    const auto inTheWay = housing();
    return inTheWay ? inTheWay->left() : frame().x() + m_settings.leftLimit;
}

QRectF SimulatedMenuBar::frame() const
{
    return barOn(m_screen);
}

QRectF SimulatedMenuBar::barOn(const QRectF& screen) const
{
    // Screen coordinates grow upwards: the bar lies along the screen's maximum y.
    const double top = screen.y() + screen.height();
    return QRectF(screen.x(), top - m_settings.height, screen.width(), m_settings.height);
}

quint64 SimulatedMenuBar::show(MenuBarEntry entry)
{
    std::vector<MenuBarEntry> entries;
    entries.push_back(std::move(entry));
    return show(std::move(entries)).first();
}

QList<quint64> SimulatedMenuBar::show(std::vector<MenuBarEntry> entries)
{
    std::optional<QHash<QString, double>> stored;
    bool storedRead = false;
    // Computed when first needed, then kept up to date as the items come.
    std::optional<double> largest;
    QList<std::pair<QString, double>> placed;
    QList<quint64> ids;
    for (MenuBarEntry& entry : entries) {
        entry.id = m_nextId++;
        if (entry.kind != MenuBarEntry::Kind::System) {
            if (!storedRead) {
                stored = m_domains.positions();
                storedRead = true;
            }
            const QString key = entry.key();
            const auto found = stored ? stored->constFind(key) : QHash<QString, double>::const_iterator();
            if (stored && found != stored->cend()) {
                entry.position = *found;
            } else if (const auto own = remembered(entry)) {
                entry.position = *own;
                placed.append({key, entry.position});
                if (stored)
                    stored->insert(key, entry.position);
            } else {
                // A new item appears leftmost, beyond everything stored or shown before it.
                if (!largest)
                    largest = largestPosition(stored);
                entry.position = *largest + positionStep;
                placed.append({key, entry.position});
                if (stored)
                    stored->insert(key, entry.position);
            }
            if (largest)
                largest = std::max(*largest, entry.position);
        }
        ids.append(entry.id);
        m_byProcess[entry.pid].append(entry.id);
        m_entries.emplace(entry.id, std::move(entry));
    }
    m_domains.setPositions(placed);
    relayout();
    return ids;
}

std::optional<double> SimulatedMenuBar::remembered(const MenuBarEntry& entry) const
{
    if (entry.kind != MenuBarEntry::Kind::OwnItem || !m_remembered)
        return std::nullopt;
    const auto position = m_remembered(entry.name);
    return position && std::isfinite(*position) ? position : std::nullopt;
}

double SimulatedMenuBar::largestPosition(const std::optional<QHash<QString, double>>& stored) const
{
    std::optional<double> largest;
    if (stored) {
        for (const double value : *stored)
            largest = std::max(largest.value_or(value), value);
    }
    double result = largest.value_or(0);
    for (const auto& [id, entry] : m_entries) {
        if (entry.kind != MenuBarEntry::Kind::System)
            result = std::max(result, entry.position);
    }
    return result;
}

void SimulatedMenuBar::remove(const QList<quint64>& ids)
{
    bool removed = false;
    for (const quint64 id : ids) {
        const auto it = m_entries.find(id);
        if (it == m_entries.end())
            continue;
        auto shown = m_byProcess.find(it->second.pid);
        shown->removeOne(id);
        if (shown->isEmpty())
            m_byProcess.erase(shown);
        m_entries.erase(it);
        removed = true;
    }
    if (removed)
        relayout();
}

const MenuBarEntry* SimulatedMenuBar::entry(quint64 id) const
{
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : &it->second;
}

MenuBarEntry* SimulatedMenuBar::find(quint64 id)
{
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : &it->second;
}

void SimulatedMenuBar::setWidth(quint64 id, double width)
{
    MenuBarEntry* entry = find(id);
    if (!entry)
        return;
    if (entry->width == width) {
        redraw(id);
        return;
    }
    entry->width = width;
    relayout();
}

void SimulatedMenuBar::redraw(quint64 id)
{
    if (find(id) && m_changed)
        m_changed();
}

void SimulatedMenuBar::setVisible(quint64 id, bool visible)
{
    if (MenuBarEntry* entry = find(id); entry && entry->visible != visible) {
        entry->visible = visible;
        relayout();
    }
}

void SimulatedMenuBar::rename(quint64 id, const QString& name)
{
    MenuBarEntry* entry = find(id);
    if (!entry)
        return;
    entry->name = name;
    const QString key = entry->key();
    const auto stored = m_domains.positions();
    const auto found = stored ? stored->constFind(key) : QHash<QString, double>::const_iterator();
    if (stored && found != stored->cend()) {
        entry->position = *found;
    } else {
        entry->position = remembered(*entry).value_or(largestPosition(stored) + positionStep);
        m_domains.setPosition(key, entry->position);
    }
    relayout();
}

void SimulatedMenuBar::setTitle(quint64 id, const QString& title)
{
    if (MenuBarEntry* entry = find(id))
        entry->extra.title = title;
}

void SimulatedMenuBar::setLaidOut(bool laidOut)
{
    if (m_laidOut == laidOut)
        return;
    m_laidOut = laidOut;
    relayout();
}

bool SimulatedMenuBar::drop(quint64 id, double x)
{
    MenuBarEntry* dragged = find(id);
    if (!dragged || dragged->kind == MenuBarEntry::Kind::System || !dragged->frame)
        return false;
    // The other items as they lie while the dragged one is lifted out, left to right.
    std::vector<const MenuBarEntry*> others;
    std::vector<MenuBarLayout::Slot> slots;
    for (const auto& [otherId, other] : m_entries) {
        if (otherId == id || other.kind == MenuBarEntry::Kind::System || !other.frame)
            continue;
        others.push_back(&other);
        slots.push_back(MenuBarLayout::Slot{other.width, other.position, other.id});
    }
    const MenuBarLayout::Geometry geometry = layoutGeometry();
    const auto placements = MenuBarLayout::compute(slots, geometry);
    std::vector<std::size_t> order(others.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return placements[a].x < placements[b].x; });

    // The item follows the pointer, so it lands in the gap whose place for it lies nearest to
    // the drop point, on screen where there is room.
    std::size_t gap = 0;
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k <= order.size(); ++k) {
        const double right = k < order.size() ? placements[order[k]].x : geometry.right;
        const double left = right - dragged->width;
        double distance = x < left ? left - x : std::max(x - right, 0.0);
        if (left < geometry.leftLimit)
            distance += offScreenPenalty;
        if (distance < nearest) {
            nearest = distance;
            gap = k;
        }
    }
    const MenuBarEntry* leftNeighbour = gap > 0 ? others[order[gap - 1]] : nullptr;
    const MenuBarEntry* rightNeighbour = gap < order.size() ? others[order[gap]] : nullptr;
    const double upper = leftNeighbour ? leftNeighbour->position : std::numeric_limits<double>::infinity();
    const double lower = rightNeighbour ? rightNeighbour->position : -std::numeric_limits<double>::infinity();
    if (dragged->position < upper && dragged->position > lower)
        return false;
    double position = 0;
    if (leftNeighbour && rightNeighbour)
        position = (upper + lower) / 2;
    else if (leftNeighbour)
        position = upper - positionStep;
    else if (rightNeighbour)
        position = lower + positionStep;
    else
        return false;
    dragged->position = position;
    m_domains.setPosition(dragged->key(), position);
    relayout();
    return true;
}

QList<const MenuBarEntry*> SimulatedMenuBar::entriesOf(qint32 pid) const
{
    QList<const MenuBarEntry*> result;
    for (const quint64 id : m_byProcess.value(pid))
        result.append(&m_entries.at(id));
    return result;
}

QList<const MenuBarEntry*> SimulatedMenuBar::leftToRight() const
{
    return QList<const MenuBarEntry*>(m_placed.cbegin(), m_placed.cend());
}

const MenuBarEntry* SimulatedMenuBar::entryAt(QPointF accessibilityPoint) const
{
    // On-screen items do not overlap, and their visible parts lie in the order of their frames.
    const auto after =
        std::upper_bound(m_onScreen.cbegin(), m_onScreen.cend(), accessibilityPoint.x(),
                         [](double x, const MenuBarEntry* entry) { return x < entry->visibleFrame->left(); });
    if (after == m_onScreen.cbegin())
        return nullptr;
    const MenuBarEntry* entry = *std::prev(after);
    return ownsPoint(toAccessibility(*entry->visibleFrame), accessibilityPoint) ? entry : nullptr;
}

bool SimulatedMenuBar::covers(QPointF accessibilityPoint) const
{
    return m_laidOut && ownsPoint(toAccessibility(frame()), accessibilityPoint);
}

QRectF SimulatedMenuBar::toAccessibility(const QRectF& screenRect) const
{
    const double top = m_primary.y() + m_primary.height();
    return QRectF(screenRect.x(), top - screenRect.y() - screenRect.height(), screenRect.width(),
                  screenRect.height());
}

QPointF SimulatedMenuBar::toScreen(QPointF accessibilityPoint) const
{
    return QPointF(accessibilityPoint.x(), m_primary.y() + m_primary.height() - accessibilityPoint.y());
}

MenuBarLayout::Geometry SimulatedMenuBar::layoutGeometry() const
{
    return layoutGeometry(frame(), housing(), m_settings);
}

MenuBarLayout::Geometry SimulatedMenuBar::layoutGeometry(const QRectF& bar, std::optional<QRectF> housing,
                                                         const ScenarioMenuBar& settings)
{
    // The app's menus end left of a housing; the status items begin right of it.
    return MenuBarLayout::Geometry{bar.right() - settings.systemItemsWidth,
                                   housing ? housing->right() : bar.x() + settings.leftLimit};
}

std::vector<MenuBarPlacement> SimulatedMenuBar::layoutOn(const QRectF& screen,
                                                         std::optional<double> housingWidth) const
{
    std::vector<MenuBarPlacement> result;
    if (!m_laidOut)
        return result;
    const QRectF bar = barOn(screen);
    const SimulatedScreens::Display display{screen, housingWidth, {}, false};
    const MenuBarLayout::Geometry geometry =
        layoutGeometry(bar, SimulatedScreens::topArea(display, m_settings.height).housing(), m_settings);
    std::vector<MenuBarLayout::Slot> slots;
    double systemX = geometry.right;
    for (const auto& [id, entry] : m_entries) {
        if (!entry.visible || entry.width <= 0)
            continue;
        if (entry.kind == MenuBarEntry::Kind::System) {
            const QRectF frame(systemX, bar.y(), entry.width, bar.height());
            result.push_back(MenuBarPlacement{&entry, frame, true, frame});
            systemX += entry.width;
            continue;
        }
        slots.push_back(MenuBarLayout::Slot{entry.width, entry.position, entry.id});
        result.push_back(MenuBarPlacement{&entry, {}, false, std::nullopt});
    }
    const auto placements = MenuBarLayout::compute(slots, geometry);
    std::size_t slot = 0;
    for (MenuBarPlacement& laid : result) {
        if (laid.entry->kind == MenuBarEntry::Kind::System)
            continue;
        const MenuBarLayout::Placement& placement = placements[slot++];
        const double width = laid.entry->width;
        laid.frame = QRectF(placement.x, bar.y(), width, bar.height());
        laid.onScreen = placement.onScreen;
        if (placement.onScreen)
            laid.visibleFrame = QRectF(placement.visibleFrom, bar.y(),
                                       placement.x + width - placement.visibleFrom, bar.height());
    }
    std::stable_sort(result.begin(), result.end(), [](const MenuBarPlacement& a, const MenuBarPlacement& b) {
        return a.frame.x() < b.frame.x();
    });
    return result;
}

void SimulatedMenuBar::relayout()
{
    for (auto& [id, entry] : m_entries) {
        entry.frame.reset();
        entry.visibleFrame.reset();
        entry.onScreen = false;
    }
    for (const MenuBarPlacement& laid : layoutOn(m_screen, m_housingWidth)) {
        MenuBarEntry& entry = m_entries.at(laid.entry->id);
        entry.frame = laid.frame;
        entry.onScreen = laid.onScreen;
        entry.visibleFrame = laid.visibleFrame;
    }

    m_placed.clear();
    for (const auto& [id, entry] : m_entries) {
        if (entry.frame)
            m_placed.push_back(&entry);
    }
    std::stable_sort(m_placed.begin(), m_placed.end(), [](const MenuBarEntry* a, const MenuBarEntry* b) {
        return a->frame->x() < b->frame->x();
    });
    m_onScreen.clear();
    for (const MenuBarEntry* entry : m_placed) {
        if (entry->onScreen && entry->visibleFrame)
            m_onScreen.push_back(entry);
    }
    std::stable_sort(m_onScreen.begin(), m_onScreen.end(), [](const MenuBarEntry* a, const MenuBarEntry* b) {
        return a->visibleFrame->left() < b->visibleFrame->left();
    });
    if (m_changed)
        m_changed();
}

} // namespace velmor::simulated_mac
