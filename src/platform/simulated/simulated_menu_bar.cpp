#include "platform/simulated/simulated_menu_bar.h"

#include "platform/simulated/menu_bar_layout.h"
#include "platform/simulated/simulated_preference_domains.h"

#include <algorithm>
#include <limits>

namespace velmor::platform {

SimulatedMenuBar::SimulatedMenuBar(QRectF primaryScreen, ScenarioMenuBar settings,
                                   SimulatedPreferenceDomains& domains)
    : m_screen(primaryScreen), m_settings(settings), m_domains(domains)
{}

QRectF SimulatedMenuBar::frame() const
{
    // Screen coordinates grow upwards: the bar lies along the screen's maximum y.
    const double top = m_screen.y() + m_screen.height();
    return QRectF(m_screen.x(), top - m_settings.height, m_screen.width(), m_settings.height);
}

quint64 SimulatedMenuBar::show(MenuBarEntry entry)
{
    entry.id = m_nextId++;
    if (entry.kind != MenuBarEntry::Kind::System) {
        const QString key = entry.key();
        const auto stored = m_domains.position(key);
        entry.position = stored ? *stored : placeLeftmost(key);
    }
    const quint64 id = entry.id;
    m_entries.emplace(id, std::move(entry));
    relayout();
    return id;
}

double SimulatedMenuBar::placeLeftmost(const QString& key)
{
    double largest = m_domains.largestPosition().value_or(0);
    for (const auto& [id, entry] : m_entries) {
        if (entry.kind != MenuBarEntry::Kind::System)
            largest = std::max(largest, entry.position);
    }
    const double position = largest + positionStep;
    m_domains.setPosition(key, position);
    return position;
}

void SimulatedMenuBar::remove(quint64 id)
{
    if (m_entries.erase(id) != 0)
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
    if (MenuBarEntry* entry = find(id); entry && entry->width != width) {
        entry->width = width;
        relayout();
    }
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
    const auto stored = m_domains.position(key);
    entry->position = stored ? *stored : placeLeftmost(key);
    relayout();
}

bool SimulatedMenuBar::drop(quint64 id, double x)
{
    MenuBarEntry* dragged = find(id);
    if (!dragged || dragged->kind == MenuBarEntry::Kind::System)
        return false;
    // The system keeps a dropped item between the app menus and its own items.
    const double right = frame().right() - m_settings.systemItemsWidth;
    x = std::clamp(x, m_screen.x() + m_settings.leftLimit,
                   std::max(right, m_screen.x() + m_settings.leftLimit));
    const MenuBarEntry* left = nullptr;
    const MenuBarEntry* rightNeighbour = nullptr;
    for (const MenuBarEntry* other : leftToRight()) {
        if (other->id == id || other->kind == MenuBarEntry::Kind::System)
            continue;
        if (other->frame->center().x() < x)
            left = other;
        else if (!rightNeighbour)
            rightNeighbour = other;
    }
    const double upper = left ? left->position : std::numeric_limits<double>::infinity();
    const double lower = rightNeighbour ? rightNeighbour->position : -std::numeric_limits<double>::infinity();
    if (dragged->position < upper && dragged->position > lower)
        return false;
    double position = 0;
    if (left && rightNeighbour)
        position = (upper + lower) / 2;
    else if (left)
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
    for (const auto& [id, entry] : m_entries) {
        if (entry.pid == pid)
            result.append(&entry);
    }
    return result;
}

QList<const MenuBarEntry*> SimulatedMenuBar::leftToRight() const
{
    QList<const MenuBarEntry*> result;
    for (const auto& [id, entry] : m_entries) {
        if (entry.frame)
            result.append(&entry);
    }
    std::sort(result.begin(), result.end(),
              [](const MenuBarEntry* a, const MenuBarEntry* b) { return a->frame->x() < b->frame->x(); });
    return result;
}

namespace {

bool ownsPoint(const QRectF& rect, QPointF point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() &&
           point.y() < rect.bottom();
}

} // namespace

const MenuBarEntry* SimulatedMenuBar::entryAt(QPointF accessibilityPoint) const
{
    for (const auto& [id, entry] : m_entries) {
        if (entry.onScreen && entry.frame && ownsPoint(toAccessibility(*entry.frame), accessibilityPoint))
            return &entry;
    }
    return nullptr;
}

bool SimulatedMenuBar::covers(QPointF accessibilityPoint) const
{
    return ownsPoint(toAccessibility(frame()), accessibilityPoint);
}

QRectF SimulatedMenuBar::toAccessibility(const QRectF& screenRect) const
{
    const double top = m_screen.y() + m_screen.height();
    return QRectF(screenRect.x(), top - screenRect.y() - screenRect.height(), screenRect.width(),
                  screenRect.height());
}

QPointF SimulatedMenuBar::toScreen(QPointF accessibilityPoint) const
{
    return QPointF(accessibilityPoint.x(), m_screen.y() + m_screen.height() - accessibilityPoint.y());
}

void SimulatedMenuBar::relayout()
{
    const QRectF bar = frame();
    const double systemLeft = bar.right() - m_settings.systemItemsWidth;
    std::vector<MenuBarLayout::Slot> slots;
    std::vector<MenuBarEntry*> laidOut;
    double systemX = systemLeft;
    for (auto& [id, entry] : m_entries) {
        entry.frame.reset();
        entry.onScreen = false;
        if (!entry.visible || entry.width <= 0)
            continue;
        if (entry.kind == MenuBarEntry::Kind::System) {
            entry.frame = QRectF(systemX, bar.y(), entry.width, bar.height());
            entry.onScreen = true;
            systemX += entry.width;
            continue;
        }
        slots.push_back(MenuBarLayout::Slot{entry.width, entry.position, entry.id});
        laidOut.push_back(&entry);
    }
    const auto placements =
        MenuBarLayout::compute(slots, MenuBarLayout::Geometry{systemLeft, bar.x() + m_settings.leftLimit});
    for (std::size_t i = 0; i < laidOut.size(); ++i) {
        laidOut[i]->frame = QRectF(placements[i].x, bar.y(), laidOut[i]->width, bar.height());
        laidOut[i]->onScreen = placements[i].onScreen;
    }
}

} // namespace velmor::platform
