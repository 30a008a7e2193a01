#include "simulated_mac/defaults_run_log.h"

#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <utility>

namespace velmor::simulated_mac {
namespace {

constexpr char pidKey[] = "pid";
constexpr char commandKey[] = "command";
constexpr char domainKey[] = "domain";
constexpr char statusKey[] = "status";
constexpr char durationKey[] = "duration";
const QString plistSuffix = QStringLiteral(".plist");

bool processGone(qint64 pid)
{
    return pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

} // namespace

DefaultsRunLog::DefaultsRunLog(QString path) : m_path(std::move(path)) {}

QByteArray DefaultsRunLog::startLine(qint64 pid, const QString& command, const QString& domainPath)
{
    QString domain = QFileInfo(domainPath).fileName();
    if (domain.endsWith(plistSuffix))
        domain.chop(plistSuffix.size());
    const Json line{{pidKey, pid}, {commandKey, json::toStd(command)}, {domainKey, json::toStd(domain)}};
    return json::serialize(line) + '\n';
}

QByteArray DefaultsRunLog::endLine(qint64 pid, int exitStatus, double durationSeconds)
{
    const Json line{{pidKey, pid}, {statusKey, exitStatus}, {durationKey, durationSeconds}};
    return json::serialize(line) + '\n';
}

bool DefaultsRunLog::refresh()
{
    bool changed = false;
    try {
        qint64 size = 0;
        QByteArray appended = RegularFile::readFrom(m_path, m_offset, maximumReadBytes, &size);
        // A file that shrank was started over.
        if (size < m_offset) {
            m_offset = 0;
            m_partial.clear();
            m_skippingLine = false;
            m_runs.clear();
            changed = true;
            appended = RegularFile::readFrom(m_path, 0, maximumReadBytes, &size);
        }
        m_offset += appended.size();
        m_partial += appended;
    } catch (const SystemError&) {
        // Not there yet, or not a log: nothing new to show.
    }
    qsizetype newline;
    while ((newline = m_partial.indexOf('\n')) >= 0) {
        const QByteArray line = m_partial.left(newline);
        m_partial.remove(0, newline + 1);
        if (std::exchange(m_skippingLine, false))
            continue;
        changed = take(line) || changed;
    }
    if (m_partial.size() > maxLineLength) {
        m_partial.clear();
        m_skippingLine = true;
    }
    for (Run& run : m_runs) {
        if (!run.ended && !run.exitStatus && processGone(run.pid)) {
            run.ended = true;
            changed = true;
        }
    }
    return changed;
}

bool DefaultsRunLog::take(const QByteArray& line)
{
    if (line.size() > maxLineLength)
        return false;
    const std::optional<Json> parsed = json::tryParse(line);
    if (!parsed)
        return false;
    const Json& record = *parsed;
    if (!record.is_object() || !record.contains(pidKey) || !record[pidKey].is_number_integer())
        return false;
    const qint64 pid = record[pidKey].get<qint64>();
    if (record.contains(commandKey)) {
        if (!record[commandKey].is_string() || !record.value(domainKey, Json()).is_string())
            return false;
        Run run;
        run.pid = pid;
        run.command = json::toQString(record[commandKey].get<std::string>());
        run.domain = json::toQString(record[domainKey].get<std::string>());
        m_runs.append(run);
        if (m_runs.size() > capacity)
            m_runs.removeFirst();
        return true;
    }
    Run* run = find(pid);
    const Json status = record.value(statusKey, Json());
    const Json duration = record.value(durationKey, Json());
    if (!run || !status.is_number_integer() || !duration.is_number() ||
        !std::isfinite(duration.get<double>()))
        return false;
    run->exitStatus = status.get<int>();
    run->durationSeconds = duration.get<double>();
    run->ended = true;
    return true;
}

DefaultsRunLog::Run* DefaultsRunLog::find(qint64 pid)
{
    // Process identifiers come back: the latest run of this one that has not ended.
    for (auto it = m_runs.rbegin(); it != m_runs.rend(); ++it) {
        if (it->pid == pid && !it->exitStatus)
            return &*it;
    }
    return nullptr;
}

} // namespace velmor::simulated_mac
