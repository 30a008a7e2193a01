#pragma once

#include "foundation/error.h"
#include "foundation/json.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace velmor {

class PlistNode;

// The control center's list of applications with menu bar items ("trackedApplications"): a
// serialized property list of alternating key and value dictionaries, one pair per application.
// These operations identify rows, flip their "isAllowed" flags and undo such flips; every other
// entry is written back exactly as it was read. Parse failures of the property list itself are
// thrown as SystemError (Parse).
class TrayTrackedApplications final {
public:
    // One flag the app changed; also the entry of the visibility recovery journal.
    struct Change {
        QString rowID;
        bool original = true;
        bool applied = false;

        friend bool operator==(const Change&, const Change&) = default;

        Json toJson() const;
        // Throws SystemError (Parse) unless all three members are there with their types.
        static Change fromJson(const Json& json);
    };

    struct Result {
        QByteArray data;
        QList<Change> changes;
        QSet<QString> matchedBundleIDs;
    };

    class Failure final : public Error {
    public:
        enum class Case { malformed, duplicateIdentity };

        explicit Failure(Case kind) : m_case(kind) {}
        Case kind() const { return m_case; }
        QString description() const override;

    private:
        Case m_case;
    };

    using Executables = QHash<QString, QSet<QString>>;

    // A list parsed once and edited in place, so that the steps of one hide (undo the app's earlier
    // edits, hide, write, verify the read-back) share one decode instead of each decoding the same
    // bytes again. Only "isAllowed" flags are ever changed.
    class List final {
    public:
        // Throws Failure, or SystemError (Parse) for bytes that are no property list.
        explicit List(QByteArray data);
        ~List();
        List(List&&) noexcept;
        List& operator=(List&&) noexcept;

        // Puts back the original flags of rows that still hold what the app wrote.
        void restore(const QList<Change>& changes);
        // Turns off the rows whose owners are all being hidden; `data` of the result is data().
        Result apply(const QSet<QString>& hiddenBundleIDs, const Executables& runningExecutables,
                     const QString& ownBundleID, const std::optional<QSet<QString>>& visibleBundleIDs);

        // Whether a flag now differs from the bytes the list was parsed from.
        bool changed() const;
        // Those bytes while nothing changed, else the list encoded anew.
        QByteArray data() const;
        const QByteArray& source() const { return m_source; }

        // Whether every row that differs between `from` and this list reads back from `observed`
        // as it is here. Bytes equal to the source or to data() are not decoded again.
        bool verifies(const QByteArray& from, const QByteArray& observed) const;

    private:
        struct Parsed;
        QByteArray m_source;
        std::unique_ptr<Parsed> m_parsed;
    };

    TrayTrackedApplications() = delete;

    // Turns off the rows whose owners are all being hidden. `runningExecutables` maps each
    // running bundle identifier to its executable paths. Without a change `data` is `list`.
    static Result applying(const QSet<QString>& hiddenBundleIDs, const Executables& runningExecutables,
                           const QString& ownBundleID, const QByteArray& list,
                           const std::optional<QSet<QString>>& visibleBundleIDs = std::nullopt);

    // Puts back the original flags of rows that still hold what the app wrote.
    static QByteArray restoring(const QList<Change>& changes, const QByteArray& list);

    // Whether every row that differs between `from` and `to` reads back from `observed` as in `to`.
    static bool verifiesVisibilityChange(const QByteArray& from, const QByteArray& to,
                                         const QByteArray& observed);

    // The running applications that own a row of the list, other than this app and Apple's.
    static QSet<QString> menuBundleIDs(const QByteArray& list, const Executables& runningExecutables,
                                       const QString& ownBundleID);

    // The self-delimiting text that identifies a property-list value regardless of dictionary
    // order. Throws Failure (malformed) for a value it cannot represent.
    static QByteArray canonical(const PlistNode& value);

    // An absolute, standardized path from a path or a local file URL; absent otherwise.
    static std::optional<QString> normalizePath(const QString& pathOrUrl);

private:
    static QByteArray canonicalAt(const PlistNode& value, int depth);
};

} // namespace velmor
