#include "tray_visibility/tray_position_preferences.h"

#include "foundation/system_error.h"
#include "platform/host.h"
#include "platform/workspace.h"
#include "tray_visibility/apple_bundle_id.h"
#include "tray_visibility/mac_tray_position_store.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_recovery_paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace velmor {
namespace {

const QString kStatusPrefix = QStringLiteral("status:");
const QString kOwnerSeparator = QStringLiteral("::");

[[noreturn]] void unsupported()
{
    throw TrayPositionError(TrayPositionError::Case::unsupported);
}

double finiteOrUnsupported(double value)
{
    if (!std::isfinite(value))
        unsupported();
    return value;
}

// "status:<owner>::<name>" -> owner; absent for any other shape.
std::optional<QString> ownerName(const QString& key)
{
    if (!key.startsWith(kStatusPrefix))
        return std::nullopt;
    const qsizetype separator = key.indexOf(kOwnerSeparator);
    if (separator < kStatusPrefix.size())
        return std::nullopt;
    return key.mid(kStatusPrefix.size(), separator - kStatusPrefix.size());
}

struct Positioned {
    QString key;
    double position;
};

// Replaces the entry for the same key where it stands, or appends one.
void upsert(QList<TrayPositionChange>& entries, const TrayPositionChange& entry)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const TrayPositionChange& existing) {
        return existing.key == entry.key;
    });
    if (it == entries.end())
        entries.append(entry);
    else
        *it = entry;
}

} // namespace

TrayPositionPreferences::TrayPositionPreferences(const platform::Host& host,
                                                 const platform::Workspace& workspace,
                                                 std::unique_ptr<TrayPositionStore> store,
                                                 std::optional<QString> journal)
    : m_workspace(workspace),
      m_store(store ? std::move(store) : std::make_unique<MacTrayPositionStore>(host)),
      m_journal(journal ? *journal : tray_recovery_paths::positionJournal(host.homeDirectory()))
{}

TrayPositionPreferences::~TrayPositionPreferences() = default;

TrayPositionPreferences::Aliases
TrayPositionPreferences::aliases(const QList<platform::RunningApplication>& running)
{
    Aliases result;
    for (const platform::RunningApplication& application : running) {
        if (!application.bundleIdentifier || application.terminated)
            continue;
        QSet<QString>& names = result[*application.bundleIdentifier];
        names.insert(*application.bundleIdentifier);
        if (application.localizedName)
            names.insert(*application.localizedName);
        if (application.executablePath)
            names.insert(QFileInfo(*application.executablePath).fileName());
    }
    return result;
}

TrayPositionPlan TrayPositionPreferences::plan(const TrayPositionStore::Positions& current,
                                               const Request& request, const Aliases& aliases)
{
    const auto chevron = current.constFind(request.chevronKey);
    if (current.isEmpty() || chevron == current.cend() || !request.chevronKey.startsWith(kStatusPrefix) ||
        request.hiddenBundleIDs.intersects(request.visibleBundleIDs))
        unsupported();
    for (const double position : current)
        finiteOrUnsupported(position);
    const double chevronPosition = *chevron;

    QHash<QString, QSet<QString>> ownersByAlias;
    for (auto it = aliases.cbegin(); it != aliases.cend(); ++it) {
        for (const QString& name : it.value())
            ownersByAlias[name].insert(it.key());
    }
    QSet<QString> directNames;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        if (const auto owner = ownerName(it.key()); owner && aliases.contains(*owner))
            directNames.insert(*owner);
    }

    TrayPositionPlan plan;
    std::optional<double> visibleMaximum;
    for (const QString& control : request.controlKeys) {
        const auto position = current.constFind(control);
        if (control != request.chevronKey && position != current.cend())
            visibleMaximum = std::max(visibleMaximum.value_or(*position), *position);
    }
    QList<Positioned> hidden;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const auto owner = ownerName(it.key());
        if (!owner || it.key() == request.chevronKey)
            continue;
        QString bundleID;
        if (aliases.contains(*owner)) {
            bundleID = *owner;
        } else {
            // A name shared by several apps, or belonging to an app that some key names directly,
            // cannot say whose item this is.
            const QSet<QString> owners = ownersByAlias.value(*owner);
            if (owners.size() != 1 || directNames.contains(*owners.cbegin()))
                continue;
            bundleID = *owners.cbegin();
        }
        if (isAppleBundleID(bundleID))
            continue;
        if (request.hiddenBundleIDs.contains(bundleID)) {
            hidden.append({it.key(), it.value()});
            plan.matchedBundleIDs.insert(bundleID);
        } else if (request.visibleBundleIDs.contains(bundleID)) {
            visibleMaximum = std::max(visibleMaximum.value_or(it.value()), it.value());
            plan.matchedBundleIDs.insert(bundleID);
        }
    }

    if (request.requireAll) {
        for (auto it = aliases.cbegin(); it != aliases.cend(); ++it) {
            const QString& bundleID = it.key();
            const bool wanted =
                request.hiddenBundleIDs.contains(bundleID) || request.visibleBundleIDs.contains(bundleID);
            if (wanted && !isAppleBundleID(bundleID) && !plan.matchedBundleIDs.contains(bundleID))
                throw TrayPositionError(TrayPositionError::Case::missing);
        }
    }

    double newChevron = chevronPosition;
    if (!request.onlyMisplaced) {
        const double largestVisible = visibleMaximum.value_or(0);
        if (chevronPosition <= largestVisible) {
            newChevron = finiteOrUnsupported(largestVisible + kSpacing);
            plan.changes.append({request.chevronKey, chevronPosition, newChevron, std::nullopt});
            plan.chevronMoved = true;
        }
    }

    QList<Positioned> moving;
    double base = newChevron;
    for (const Positioned& item : hidden) {
        if (!request.onlyMisplaced || item.position <= newChevron)
            moving.append(item);
        else
            base = std::max(base, item.position);
    }
    std::sort(moving.begin(), moving.end(), [](const Positioned& a, const Positioned& b) {
        if (a.position != b.position)
            return a.position < b.position;
        return a.key.toUtf8() < b.key.toUtf8();
    });
    for (const Positioned& item : moving) {
        base = finiteOrUnsupported(base + kSpacing);
        if (item.position != base)
            plan.changes.append({item.key, item.position, base, std::nullopt});
    }
    return plan;
}

TrayPositionPlan TrayPositionPreferences::arrange(const Request& request)
{
    return arrange(request, aliases(m_workspace.runningApplications()));
}

TrayPositionPlan TrayPositionPreferences::arrange(const Request& request, const Aliases& aliases)
{
    const TrayPositionStore::Positions current = m_store->read();
    const TrayPositionPlan planned = plan(current, request, aliases);
    write(planned);
    return planned;
}

TrayPositionPlan TrayPositionPreferences::planRightEnd(const TrayPositionStore::Positions& current,
                                                       const QStringList& keys)
{
    std::optional<double> others;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        finiteOrUnsupported(it.value());
        if (!keys.contains(it.key()))
            others = std::min(others.value_or(it.value()), it.value());
    }
    QStringList present;
    for (const QString& key : keys) {
        if (current.contains(key) && !present.contains(key))
            present.append(key);
    }
    // Between the bar's right end and the rightmost other item, in the keys' order; past it when
    // another item already sits at the end.
    const double end = others.value_or(kSpacing);
    const double step = end > 0 ? end / double(present.size() + 1) : kSpacing;
    const double first = end > 0 ? step : end - step * double(present.size());
    TrayPositionPlan planned;
    for (qsizetype i = 0; i < present.size(); ++i) {
        const double wanted = finiteOrUnsupported(first + step * double(i));
        const double now = current.value(present[i]);
        if (now != wanted)
            planned.changes.append({present[i], now, wanted, std::nullopt});
    }
    return planned;
}

TrayPositionPlan TrayPositionPreferences::placeAtRightEnd(const QStringList& keys)
{
    const TrayPositionPlan planned = planRightEnd(m_store->read(), keys);
    write(planned);
    return planned;
}

TrayPositionPlan TrayPositionPreferences::planRightOf(const TrayPositionStore::Positions& current,
                                                      const QString& key, const QString& neighbour)
{
    const auto moving = current.constFind(key);
    if (moving == current.cend())
        throw TrayPositionError(TrayPositionError::Case::missing);
    QString nearest = neighbour;
    if (nearest.isEmpty()) {
        // The item right next to the moving one on its right.
        std::optional<double> best;
        for (auto it = current.cbegin(); it != current.cend(); ++it) {
            if (it.key() != key && it.value() < *moving && (!best || it.value() > *best)) {
                best = it.value();
                nearest = it.key();
            }
        }
    }
    const auto beside = current.constFind(nearest);
    if (beside == current.cend() || key == nearest)
        throw TrayPositionError(TrayPositionError::Case::missing);
    const double left = finiteOrUnsupported(*beside);
    // The nearest item right of the neighbour, the moving one aside.
    std::optional<double> right;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const double position = finiteOrUnsupported(it.value());
        if (it.key() != key && position < left)
            right = std::max(right.value_or(position), position);
    }
    const double wanted = finiteOrUnsupported(right ? (left + *right) / 2 : left / 2);
    TrayPositionPlan planned;
    if (*moving != wanted)
        planned.changes.append({key, *moving, wanted, std::nullopt});
    return planned;
}

TrayPositionPlan TrayPositionPreferences::placeRightOf(const QString& key, const QString& neighbour)
{
    const TrayPositionPlan planned = planRightOf(m_store->read(), key, neighbour);
    write(planned);
    return planned;
}

TrayPositionPlan TrayPositionPreferences::placeAgain(const TrayPositionStore::Positions& places)
{
    const TrayPositionStore::Positions current = m_store->read();
    TrayPositionPlan planned;
    planned.addsForgotten = true;
    QStringList keys = places.keys();
    std::sort(keys.begin(), keys.end());
    for (const QString& key : std::as_const(keys)) {
        const double place = places.value(key);
        if (!current.contains(key) && std::isfinite(place))
            planned.changes.append(TrayPositionChange{key, place, place, std::nullopt});
    }
    write(planned);
    return planned;
}

void TrayPositionPreferences::write(const TrayPositionPlan& planned)
{
    if (planned.changes.isEmpty())
        return;

    const QList<TrayPositionChange> loaded = loadJournal();
    QList<TrayPositionChange> preWrite = loaded;
    QList<TrayPositionChange> postWrite = loaded;
    TrayPositionStore::Positions patch;
    for (const TrayPositionChange& change : planned.changes) {
        const auto earlier =
            std::find_if(loaded.cbegin(), loaded.cend(),
                         [&](const TrayPositionChange& entry) { return entry.key == change.key; });
        // The first original survives as long as the item is still where the app put it (or was
        // about to put it); an item moved by someone else since starts over from where it is now.
        const bool stillOurs = earlier != loaded.cend() && (change.original == earlier->applied ||
                                                            earlier->pendingApplied == change.original);
        const double original = stillOurs ? earlier->original : change.original;
        upsert(preWrite, {change.key, original, change.original, change.applied});
        upsert(postWrite, {change.key, original, change.applied, std::nullopt});
        patch.insert(change.key, change.applied);
    }

    const TrayPositionStore::Keys keys =
        planned.addsForgotten ? TrayPositionStore::Keys::mayAddForgotten : TrayPositionStore::Keys::existingOnly;
    reach(TrayEditStep::beforeJournal);
    saveJournal(preWrite);
    reach(TrayEditStep::afterFirstJournal);
    try {
        m_store->patch(patch, keys);
    } catch (...) {
        const std::exception_ptr patchError = std::current_exception();
        try {
            const TrayPositionStore::Positions now = m_store->read();
            TrayPositionStore::Positions back;
            for (const TrayPositionChange& change : planned.changes) {
                const auto position = now.constFind(change.key);
                if (position != now.cend() && *position == change.applied)
                    back.insert(change.key, change.original);
            }
            if (!back.isEmpty())
                m_store->patch(back, keys);
            saveJournal(loaded);
        } catch (...) {
            // The pre-write journal stays, so a later restore() still undoes the change.
        }
        std::rethrow_exception(patchError);
    }
    reach(TrayEditStep::afterWrite);
    saveJournal(postWrite);
    reach(TrayEditStep::afterFinalJournal);
}

void TrayPositionPreferences::restore()
{
    const QList<TrayPositionChange> entries = loadJournal();
    if (entries.isEmpty()) {
        saveJournal({});
        return;
    }
    const TrayPositionStore::Positions current = m_store->read();
    TrayPositionStore::Positions back;
    for (const TrayPositionChange& entry : entries) {
        const auto position = current.constFind(entry.key);
        if (position == current.cend() || *position == entry.original)
            continue;
        if (*position == entry.applied || entry.pendingApplied == *position)
            back.insert(entry.key, entry.original);
    }
    if (!back.isEmpty())
        m_store->patch(back, TrayPositionStore::Keys::existingOnly);
    saveJournal({});
}

QList<TrayPositionChange> TrayPositionPreferences::loadJournal() const
{
    const auto json = m_journal.load();
    if (!json)
        return {};
    if (!json->is_array())
        throw SystemError(
            SystemError::Kind::Parse,
            QStringLiteral("The position recovery record “%1” is not a list.").arg(m_journal.path()));
    QList<TrayPositionChange> entries;
    QSet<QString> keys;
    for (const Json& item : *json) {
        TrayPositionChange entry = TrayPositionChange::fromJson(item);
        const bool finite = std::isfinite(entry.original) && std::isfinite(entry.applied) &&
                            std::isfinite(entry.pendingApplied.value_or(0));
        if (!finite || keys.contains(entry.key))
            unsupported();
        keys.insert(entry.key);
        entries.append(std::move(entry));
    }
    return entries;
}

void TrayPositionPreferences::saveJournal(const QList<TrayPositionChange>& entries) const
{
    Json json = Json::array();
    for (const TrayPositionChange& entry : entries)
        json.push_back(entry.toJson());
    m_journal.save(json);
}

void TrayPositionPreferences::reach(TrayEditStep step) const
{
    if (m_stepObserver)
        m_stepObserver(step);
}

} // namespace velmor
