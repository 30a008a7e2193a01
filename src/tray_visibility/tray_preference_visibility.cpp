#include "tray_visibility/tray_preference_visibility.h"

#include "foundation/system_error.h"
#include "platform/host.h"
#include "platform/workspace.h"
#include "tray_visibility/apple_bundle_id.h"
#include "tray_visibility/mac_tray_preference_store.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_recovery_paths.h"

namespace velmor {
namespace {

constexpr int kLastMarkerModeMajorVersion = 26;

// A list the app does not understand, because it does not parse or a row does not have the known
// shape, is the library's own malformed case, whose sentence tells the user that nothing changed.
template <typename Step> auto understood(Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const TrayTrackedApplications::Failure&) {
        throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
    } catch (const SystemError& error) {
        if (error.kind() == SystemError::Kind::Parse)
            throw TrayPreferenceError(TrayPreferenceError::Case::malformed);
        throw;
    }
}

} // namespace

TrayPreferenceVisibility::TrayPreferenceVisibility(const platform::Host& host,
                                                   const platform::Workspace& workspace,
                                                   std::unique_ptr<TrayPreferenceStore> store,
                                                   std::optional<QString> journal)
    : m_host(host), m_workspace(workspace),
      m_store(store ? std::move(store) : std::make_unique<MacTrayPreferenceStore>(host)),
      m_journal(journal ? *journal : tray_recovery_paths::visibilityJournal(host.homeDirectory()))
{}

TrayPreferenceVisibility::~TrayPreferenceVisibility() = default;

bool TrayPreferenceVisibility::isAvailable() const
{
    return m_host.systemVersion().major > kLastMarkerModeMajorVersion;
}

void TrayPreferenceVisibility::apply(const QSet<QString>& hiddenBundleIDs,
                                     const QSet<QString>& visibleBundleIDs,
                                     const QSet<QString>& /*runningBundleIDs*/, const QString& ownBundleID,
                                     const Completion& completion)
{
    TrayTrackedApplications::Executables running;
    for (const platform::RunningApplication& application : m_workspace.runningApplications()) {
        if (!application.bundleIdentifier)
            continue;
        QSet<QString>& executables = running[*application.bundleIdentifier];
        if (application.executablePath)
            executables.insert(*application.executablePath);
    }
    std::optional<ErrorValue> error;
    try {
        apply(hiddenBundleIDs, visibleBundleIDs, running, ownBundleID);
    } catch (...) {
        error = ErrorValue::current();
    }
    completion(std::move(error));
}

void TrayPreferenceVisibility::apply(const QSet<QString>& hiddenBundleIDs,
                                     const QSet<QString>& visibleBundleIDs,
                                     const TrayTrackedApplications::Executables& runningExecutables,
                                     const QString& ownBundleID)
{
    loadJournalIfNeeded();
    if (hiddenBundleIDs.isEmpty() && m_changes.isEmpty())
        return;
    // Read once and parsed once; the edits, the write and its check all work on this one list.
    const QByteArray current = m_store->read();
    TrayTrackedApplications::List list = understood([&] { return TrayTrackedApplications::List(current); });
    // The list as it would be without the app's earlier edits, so a new request starts from the
    // user's own settings.
    const TrayTrackedApplications::Result result = understood([&] {
        list.restore(m_changes);
        return list.apply(hiddenBundleIDs, runningExecutables, ownBundleID, visibleBundleIDs);
    });

    QSet<QString> missing;
    for (auto it = runningExecutables.cbegin(); it != runningExecutables.cend(); ++it) {
        const QString& bundleID = it.key();
        if (hiddenBundleIDs.contains(bundleID) && bundleID != ownBundleID && !isAppleBundleID(bundleID) &&
            !result.matchedBundleIDs.contains(bundleID))
            missing.insert(bundleID);
    }
    if (!missing.isEmpty())
        throw TrayPreferenceError::missing(std::move(missing));

    if (!list.changed()) {
        saveJournal(result.changes);
        return;
    }
    // Until the write is confirmed any of these rows may end up changed, so the journal covers
    // both the old and the new edits.
    QList<Change> covering = m_changes;
    QSet<QString> covered;
    for (const Change& change : m_changes)
        covered.insert(change.rowID);
    for (const Change& change : result.changes) {
        if (!covered.contains(change.rowID))
            covering.append(change);
    }
    reach(TrayEditStep::beforeJournal);
    saveJournal(covering);
    reach(TrayEditStep::afterFirstJournal);
    try {
        m_store->writeList(list);
    } catch (...) {
        const std::exception_ptr writeError = std::current_exception();
        try {
            restore();
        } catch (...) {
            // The journal stays; a later release() retries. The caller needs the write's error.
        }
        std::rethrow_exception(writeError);
    }
    reach(TrayEditStep::afterWrite);
    saveJournal(result.changes);
    reach(TrayEditStep::afterFinalJournal);
}

std::optional<ErrorValue> TrayPreferenceVisibility::release()
{
    try {
        restore();
    } catch (...) {
        return ErrorValue::current();
    }
    return std::nullopt;
}

void TrayPreferenceVisibility::restore()
{
    loadJournalIfNeeded();
    if (m_changes.isEmpty())
        return;
    const QByteArray current = m_store->read();
    TrayTrackedApplications::List list = understood([&] {
        TrayTrackedApplications::List restored(current);
        restored.restore(m_changes);
        return restored;
    });
    if (list.changed())
        m_store->writeList(list);
    saveJournal({});
}

void TrayPreferenceVisibility::loadJournalIfNeeded()
{
    if (!m_changes.isEmpty())
        return;
    const auto json = m_journal.load();
    if (!json)
        return;
    if (!json->is_array())
        throw SystemError(
            SystemError::Kind::Parse,
            QStringLiteral("The visibility recovery record “%1” is not a list.").arg(m_journal.path()));
    QList<Change> changes;
    changes.reserve(static_cast<qsizetype>(json->size()));
    for (const Json& entry : *json)
        changes.append(Change::fromJson(entry));
    m_changes = std::move(changes);
}

void TrayPreferenceVisibility::saveJournal(const QList<Change>& changes)
{
    // The file holds what `m_changes` holds; the same record is not written again.
    if (!changes.isEmpty() && changes == m_changes)
        return;
    Json entries = Json::array();
    for (const Change& change : changes)
        entries.push_back(change.toJson());
    m_journal.save(entries);
    m_changes = changes;
}

void TrayPreferenceVisibility::reach(TrayEditStep step) const
{
    if (m_stepObserver)
        m_stepObserver(step);
}

} // namespace velmor
