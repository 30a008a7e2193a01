#include "tray/tray_search.h"

#include "foundation/text.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_below_bar.h"
#include "tray/tray_model.h"

#include <algorithm>

namespace velmor {
namespace {

// The order results take before anything is typed.
enum class Place { MenuBar, Expandable, Group, Hidden };

} // namespace

TraySearch::TraySearch(TrayModel& model, NativeTrayController& controller, TrayBelowBar* belowBar,
                       QObject* parent)
    : QObject(parent), m_model(&model), m_controller(controller), m_belowBar(belowBar)
{}

TraySearch::~TraySearch() = default;

void TraySearch::refresh()
{
    m_items.clear();
    m_entries.clear();
    if (!m_model)
        return;
    const TrayModel& model = *m_model;
    const TrayAppGrouping& grouping = model.namedGrouping();
    struct Placed {
        Place place;
        int group;
        Result result;
    };
    QList<Placed> placed;
    for (const TrayItem& item : model.items()) {
        Result result{
            item.id, item.bundleID(), item.appName, item.title, {}, item.icon && !item.icon->isNull()};
        Place place = Place::MenuBar;
        int groupIndex = 0;
        TraySection section = kDefaultTraySection;
        if (!model.nativePerApp()) {
            section = model.nativeGroups().value(item.id, kDefaultTraySection);
        } else if (const auto member = grouping.memberships.constFind(item.bundleID());
                   member != grouping.memberships.cend()) {
            const auto group =
                std::find_if(grouping.groups.cbegin(), grouping.groups.cend(),
                             [&](const TrayNamedGroup& candidate) { return candidate.id == *member; });
            if (group != grouping.groups.cend()) {
                place = Place::Group;
                groupIndex = int(group - grouping.groups.cbegin());
                result.placement = group->name;
            }
        } else {
            section = model.appGroups().value(item.bundleID(), kDefaultTraySection);
        }
        if (place != Place::Group) {
            place = section == TraySection::expandable     ? Place::Expandable
                    : section == TraySection::alwaysHidden ? Place::Hidden
                                                           : Place::MenuBar;
            result.placement = text(place == Place::Expandable ? expandablePlacement
                                    : place == Place::Hidden   ? hiddenPlacement
                                                               : alwaysVisiblePlacement);
        }
        // Out of sight says more than the section that put it there.
        for (const TrayOutOfSight::Item& lost : model.outOfSight().items) {
            if (lost.itemID == item.id)
                result.placement =
                    text(lost.reason == TrayOutOfSight::Reason::BehindHousing ? housingPlacement
                         : lost.reason == TrayOutOfSight::Reason::UnderMenus  ? menusPlacement
                                                                              : offBarPlacement);
        }
        placed.append({place, groupIndex, std::move(result)});
    }
    // Where they are, then by app as a file browser sorts names.
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (std::pair(a.place, a.group) != std::pair(b.place, b.group))
            return std::pair(a.place, a.group) < std::pair(b.place, b.group);
        return text::localizedStandardCompare(a.result.appName, b.result.appName) < 0;
    });
    for (Placed& entry : placed) {
        m_entries.append({entry.result.appName, entry.result.title});
        m_items.append(std::move(entry.result));
    }
    if (m_openApp) {
        m_entries.append({text(openAppName), text(openAppTitle)});
        m_items.append(
            {text(openAppID), {}, text(openAppName), text(openAppTitle), text(openAppName), false});
    }
}

QList<TraySearch::Result> TraySearch::search(const QString& query) const
{
    QList<Result> results;
    // The app itself is found by name, not listed among the menu bar's items.
    const bool typed = !query.trimmed().isEmpty();
    for (const int index : TrayItemSearch::rank(m_entries, query)) {
        if (typed || m_items[index].itemID != text(openAppID))
            results.append(m_items[index]);
    }
    return results;
}

TraySearch::Opening TraySearch::open(const QString& itemID)
{
    if (itemID == text(openAppID) && m_openApp) {
        m_openApp();
        return Opening::Opened;
    }
    if (m_controller.busy()) {
        m_waiting = itemID;
        Q_EMIT waitingChanged();
        return Opening::Waiting;
    }
    cancelWaiting();
    return openNow(itemID);
}

void TraySearch::cancelWaiting()
{
    if (!m_waiting)
        return;
    m_waiting.reset();
    Q_EMIT waitingChanged();
}

void TraySearch::controllerChanged()
{
    if (!m_waiting || m_controller.busy())
        return;
    const QString itemID = *std::exchange(m_waiting, std::nullopt);
    Q_EMIT waitingChanged();
    openNow(itemID);
}

TraySearch::Opening TraySearch::openNow(const QString& itemID)
{
    if (!m_model || !m_belowBar)
        return Opening::Unreachable;
    for (const TrayItem& item : m_model->items()) {
        if (item.id == itemID)
            return m_belowBar->openItem(item) ? Opening::Opened : Opening::Unreachable;
    }
    return Opening::Unreachable;
}

} // namespace velmor
