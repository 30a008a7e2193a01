#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace velmor::simulated_mac {

// The record the `defaults` stand-in keeps of its runs in the simulated home, one JSON object a
// line: {"pid", "command", "domain"} when a run starts, {"pid", "status", "duration"} when it
// ends. A run killed on the way (a hang the app gave up on) never writes its end. The file is
// read as hostile: lines that do not parse are skipped.
class DefaultsRunLog final {
public:
    // The most recent runs kept; older ones drop out so a long session stays small.
    static constexpr int capacity = 200;
    // Longer lines are no record the stand-in writes.
    static constexpr int maxLineLength = 4096;
    // What one refresh reads at most; the rest waits for the next.
    static constexpr qint64 maximumReadBytes = 1024 * 1024;

    struct Run {
        qint64 pid = 0;
        QString command;
        // The domain's name (the file name without ".plist").
        QString domain;
        // Absent while the run goes on, and for one that ended without a word.
        std::optional<int> exitStatus;
        std::optional<double> durationSeconds;
        // The process is gone: with an exit status it finished, without one it was killed.
        bool ended = false;
    };

    explicit DefaultsRunLog(QString path);

    // Reads what was appended since the last call; true when anything changed.
    bool refresh();
    // Oldest first.
    const QList<Run>& runs() const { return m_runs; }

    // For the stand-in: the lines it appends.
    static QByteArray startLine(qint64 pid, const QString& command, const QString& domainPath);
    static QByteArray endLine(qint64 pid, int exitStatus, double durationSeconds);

private:
    bool take(const QByteArray& line);
    Run* find(qint64 pid);

    QString m_path;
    qint64 m_offset = 0;
    QByteArray m_partial;
    // The line being read grew past the longest: what follows of it, up to its newline, is dropped.
    bool m_skippingLine = false;
    QList<Run> m_runs;
};

} // namespace velmor::simulated_mac
