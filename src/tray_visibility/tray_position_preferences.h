#pragma once

#include "tray_visibility/tray_edit_step.h"
#include "tray_visibility/tray_position_plan.h"
#include "tray_visibility/tray_position_store.h"
#include "tray_visibility/tray_recovery_file.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace velmor {

namespace platform {
class Host;
class Workspace;
struct RunningApplication;
} // namespace platform

// Arranges the menu bar by rewriting preferred positions: items of hidden apps go beyond the
// app's chevron, the chevron goes beyond every item that stays visible. Every rewrite is
// journalled so that restore() puts back the user's arrangement, also after a crash, except
// where the user has moved an item since. Synchronous; one caller at a time.
class TrayPositionPreferences final {
public:
    // Running bundle identifier -> the names its status item keys may use as owner.
    using Aliases = QHash<QString, QSet<QString>>;

    struct Request {
        QSet<QString> hiddenBundleIDs;
        QSet<QString> visibleBundleIDs;
        // The key of the app's chevron item ("status:<owner>::<name>").
        QString chevronKey;
        // Leave correctly placed items and the chevron alone.
        bool onlyMisplaced = false;
        // The app's other own items; they count as visible.
        QStringList controlKeys;
        // Every running hidden or visible app must be found among the keys.
        bool requireAll = false;
    };

    // Positions are `kSpacing` apart on the hidden side.
    static constexpr double kSpacing = 40;

    // Without a store, the menu bar's domain through the `defaults` tool; without a journal path,
    // the default recovery file in the user's home.
    TrayPositionPreferences(const platform::Host& host, const platform::Workspace& workspace,
                            std::unique_ptr<TrayPositionStore> store = nullptr,
                            std::optional<QString> journal = std::nullopt);
    ~TrayPositionPreferences();
    TrayPositionPreferences(const TrayPositionPreferences&) = delete;
    TrayPositionPreferences& operator=(const TrayPositionPreferences&) = delete;

    // The names under which the running applications may own status items.
    static Aliases aliases(const QList<platform::RunningApplication>& running);

    // With the aliases of the applications running now.
    TrayPositionPlan arrange(const Request& request);
    // Reads, plans and writes; a failed write is rolled back before its error is thrown. Throws
    // TrayPositionError or SystemError.
    TrayPositionPlan arrange(const Request& request, const Aliases& aliases);
    // Throws TrayPositionError (unsupported, missing).
    static TrayPositionPlan plan(const TrayPositionStore::Positions& current, const Request& request,
                                 const Aliases& aliases);

    // Moves the app's own items with these keys (the rightmost first) to the right end of the bar,
    // right of every other item the domain places, with the same journalled edit as `arrange`;
    // keys the domain does not hold are left out. Throws TrayPositionError or SystemError.
    TrayPositionPlan placeAtRightEnd(const QStringList& keys);
    // The plan alone: each key's new place, one step apart, all of them right of the others.
    static TrayPositionPlan planRightEnd(const TrayPositionStore::Positions& current,
                                         const QStringList& keys);
    // Moves the item with `key` just right of the one with `neighbour` (empty: the item right next
    // to it), left of everything that lay right of that one, with the same journalled edit. Throws
    // TrayPositionError (missing when there is no such item) or SystemError.
    TrayPositionPlan placeRightOf(const QString& key, const QString& neighbour);
    static TrayPositionPlan planRightOf(const TrayPositionStore::Positions& current, const QString& key,
                                        const QString& neighbour);

    // The positions the domain holds now. Throws TrayPositionError or SystemError.
    TrayPositionStore::Positions read() { return m_store->read(); }
    // Gives the items with these keys their places again where the domain no longer holds one
    // (the menu bar forgot them when they went), with the same journalled edit; a key the domain
    // still holds, the person may have moved since, and is left alone.
    TrayPositionPlan placeAgain(const TrayPositionStore::Positions& places);

    // Puts back every journalled key that still holds what the app wrote, then deletes the journal.
    void restore();

    QString journalPath() const { return m_journal.path(); }

    // Fault injection for tests only.
    void setStepObserver(TrayEditStepObserver observer) { m_stepObserver = std::move(observer); }

private:
    // Journals, writes and journals again; a failed write is rolled back before it is rethrown.
    void write(const TrayPositionPlan& planned);
    QList<TrayPositionChange> loadJournal() const;
    void saveJournal(const QList<TrayPositionChange>& entries) const;
    void reach(TrayEditStep step) const;

    const platform::Workspace& m_workspace;
    std::unique_ptr<TrayPositionStore> m_store;
    TrayRecoveryFile m_journal;
    TrayEditStepObserver m_stepObserver;
};

} // namespace velmor
