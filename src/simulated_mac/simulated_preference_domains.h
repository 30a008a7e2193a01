#pragma once

#include "simulated_mac/scenario.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

namespace velmor {
class PropertyList;
}

namespace velmor::simulated_mac {

// One row of the tracked-applications list as the control center reads it.
struct TrackedRow {
    std::optional<QString> bundleID;
    // The normalized path of an "adhocBinary" location without "base".
    std::optional<QString> executablePath;
    bool allowed = true;
};

// Whom the rows of one list name, looked up by app: the control center answers for every app at
// once, so it reads its list once, not once per app.
class TrackedRowNames final {
public:
    explicit TrackedRowNames(const QList<TrackedRow>& rows);

    void add(const TrackedRow& row);

    // Whether a row names the app (by bundle identifier or by its executable's normalized path).
    bool names(const std::optional<QString>& bundleID, const QString& executablePath) const;
    // Whether no row that names the app has it off.
    bool allows(const std::optional<QString>& bundleID, const QString& executablePath) const;

private:
    QSet<QString> m_bundleIDs;
    QSet<QString> m_paths;
    QSet<QString> m_offBundleIDs;
    QSet<QString> m_offPaths;
};

// What the system writes when it starts tracking an app.
struct TrackedRowSeed {
    TrackedRowKind kind = TrackedRowKind::Bundle;
    QString bundleID;
    QString executable;
    int menuItems = 0;
};

// The two system preference domains of the simulated home as real binary property-list files:
// the control center's (its tracked-applications list) and the menu bar's (preferred positions).
// The world edits them the way the system does, in place, so that every member it does not
// interpret survives; a file that does not parse is never rewritten.
class SimulatedPreferenceDomains final {
public:
    explicit SimulatedPreferenceDomains(QString home);

    QString controlCenterPath() const { return m_controlCenterPath; }
    QString menuBarPath() const { return m_menuBarPath; }

    // Creates each domain file that does not exist yet: the system's own rows and positions, the
    // given ones, and a few members no one but the system understands. Throws SystemError (File).
    void createMissing(const QList<TrackedRowSeed>& rows, const QList<std::pair<QString, double>>& positions);

    // The rows of the control center's file; absent when it cannot be read.
    std::optional<QList<TrackedRow>> trackedRows() const;
    // The rows of a control center domain file's content; absent when it does not parse.
    static std::optional<QList<TrackedRow>> parseTrackedRows(const QByteArray& domainBytes);
    // Appends rows in one write; false when the file cannot be read or written.
    bool addTrackedRows(const QList<TrackedRowSeed>& seeds);
    bool addTrackedRow(const TrackedRowSeed& seed) { return addTrackedRows({seed}); }

    // The stored preferred positions by key; absent when the file cannot be read.
    std::optional<QHash<QString, double>> positions() const;
    // A stored preferred position; absent when there is none or the file cannot be read.
    std::optional<double> position(const QString& key) const;
    // The largest stored position; absent when there is none.
    std::optional<double> largestPosition() const;
    // Writes positions in one write; false when the file cannot be read or written.
    bool setPositions(const QList<std::pair<QString, double>>& positions);
    bool setPosition(const QString& key, double value) { return setPositions({{key, value}}); }
    // Drops these keys' positions; false when the domain could not be read or written.
    bool removePositions(const QStringList& keys);

    // The control center file's content when it changed since it was last seen: an edit from
    // another process. The world's own writes are not reported, unless an unseen edit preceded them.
    std::optional<QByteArray> takeControlCenterChange();

    // The standardized path a tracked location names, or absent ("relative" path or file URL).
    static std::optional<QString> normalizePath(const QString& relative);

private:
    struct FileStamp {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0;
        qint64 changed = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    static FileStamp stamp(const QString& path);
    std::optional<PropertyList> readDocument(const QString& path) const;
    bool writeDocument(const QString& path, const PropertyList& document);

    QString m_controlCenterPath;
    QString m_menuBarPath;
    FileStamp m_seenStamp;
    QByteArray m_seenBytes;
};

} // namespace velmor::simulated_mac
