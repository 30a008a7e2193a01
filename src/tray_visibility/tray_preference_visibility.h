#pragma once

#include "foundation/error_value.h"
#include "tray_visibility/tray_edit_step.h"
#include "tray_visibility/tray_preference_store.h"
#include "tray_visibility/tray_recovery_file.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmor {

namespace platform {
class Host;
class Workspace;
} // namespace platform

// Hides other applications' menu bar items by turning off their rows in the tracked-applications
// list, and puts them back. Every flag it changes is journalled before the write, so that a later
// release() (also in a new process, after a crash) restores exactly the rows the app changed and
// leaves alone whatever the user changed since. Synchronous; one caller at a time.
class TrayPreferenceVisibility final {
public:
    using Completion = std::function<void(std::optional<ErrorValue>)>;
    using Change = TrayTrackedApplications::Change;

    // Without a store, the control center's domain through the `defaults` tool; without a journal
    // path, the default recovery file in the user's home.
    TrayPreferenceVisibility(const platform::Host& host, const platform::Workspace& workspace,
                             std::unique_ptr<TrayPreferenceStore> store = nullptr,
                             std::optional<QString> journal = std::nullopt);
    ~TrayPreferenceVisibility();
    TrayPreferenceVisibility(const TrayPreferenceVisibility&) = delete;
    TrayPreferenceVisibility& operator=(const TrayPreferenceVisibility&) = delete;

    // Per-app hiding exists from macOS 27 on.
    bool isAvailable() const;

    // Hides `hiddenBundleIDs` with the running applications the workspace reports now
    // (`runningBundleIDs` is not consulted) and calls `completion` before returning.
    void apply(const QSet<QString>& hiddenBundleIDs, const QSet<QString>& visibleBundleIDs,
               const QSet<QString>& runningBundleIDs, const QString& ownBundleID,
               const Completion& completion);

    // Hides the rows of `hiddenBundleIDs`, and shows again rows hidden earlier that are no longer
    // requested. Throws TrayPreferenceError (malformed for a list it does not understand) or
    // SystemError (the journal); a failed write is undone before the error is thrown.
    void apply(const QSet<QString>& hiddenBundleIDs, const QSet<QString>& visibleBundleIDs,
               const TrayTrackedApplications::Executables& runningExecutables, const QString& ownBundleID);

    // Restores every journalled row and deletes the journal; the journal stays when this fails.
    std::optional<ErrorValue> release();

    const QList<Change>& changes() const { return m_changes; }
    QString journalPath() const { return m_journal.path(); }

    // Fault injection for tests only.
    void setStepObserver(TrayEditStepObserver observer) { m_stepObserver = std::move(observer); }

private:
    void restore();
    void loadJournalIfNeeded();
    void saveJournal(const QList<Change>& changes);
    void reach(TrayEditStep step) const;

    const platform::Host& m_host;
    const platform::Workspace& m_workspace;
    std::unique_ptr<TrayPreferenceStore> m_store;
    TrayRecoveryFile m_journal;
    QList<Change> m_changes;
    TrayEditStepObserver m_stepObserver;
};

} // namespace velmor
