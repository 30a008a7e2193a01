#include "simulated_mac/defaults_run_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

using velmor::simulated_mac::DefaultsRunLog;

namespace {

void append(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write(bytes);
}

// The start of a run of `pid`, `length` bytes long before its newline (blanks are still JSON).
QByteArray paddedStartLine(qint64 pid, qsizetype length)
{
    QByteArray line = DefaultsRunLog::startLine(pid, QStringLiteral("export"), QStringLiteral("d"));
    line.chop(1);
    return line.insert(1, QByteArray(length - line.size(), ' '));
}

// Starts of runs from `firstPid` on, `total` bytes in all, the last newline its last byte.
QByteArray startsFilling(qint64 firstPid, qsizetype total)
{
    QByteArray log;
    for (qint64 pid = firstPid; log.size() < total; ++pid) {
        qsizetype line = std::min<qsizetype>(DefaultsRunLog::maxLineLength, total - log.size() - 1);
        if (total - log.size() - 1 - line > 0 && total - log.size() - 1 - line < 100)
            line -= 100; // leave room for a last line
        log += paddedStartLine(pid, line) + '\n';
    }
    return log;
}

} // namespace

TEST(DefaultsRunLog, FollowsRunsAsTheyStartEndOrAreKilled)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("log.jsonl"));
    DefaultsRunLog log(path);
    EXPECT_FALSE(log.refresh()) << "no file yet is no run";

    // A run still going on (this process is alive), one that finished, one whose process is gone.
    const qint64 alive = getpid();
    const qint64 gone = 999999;
    append(path, DefaultsRunLog::startLine(alive, QStringLiteral("export"),
                                           QStringLiteral("/home/Library/Preferences/com.apple.MenuBar")));
    append(path, DefaultsRunLog::startLine(gone, QStringLiteral("import"), QStringLiteral("/x/group.plist")));
    ASSERT_TRUE(log.refresh());
    ASSERT_EQ(log.runs().size(), 2);
    EXPECT_EQ(log.runs()[1].domain, QStringLiteral("group"));
    EXPECT_FALSE(log.runs()[0].ended);
    EXPECT_TRUE(log.runs()[1].ended && !log.runs()[1].exitStatus) << "killed before it could answer";
    EXPECT_FALSE(log.refresh()) << "a log that did not grow is no change to show";
    EXPECT_EQ(log.runs().size(), 2);

    // Half a line waits for the rest.
    const QByteArray end = DefaultsRunLog::endLine(alive, 1, 0.25);
    append(path, end.left(10));
    EXPECT_FALSE(log.refresh());
    append(path, end.mid(10));
    ASSERT_TRUE(log.refresh());
    EXPECT_EQ(log.runs()[0].exitStatus, 1);
    EXPECT_EQ(log.runs()[0].durationSeconds, 0.25);
}

TEST(DefaultsRunLog, HostileLinesAreSkippedAndALogStartedOverIsReadAnew)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("log.jsonl"));
    DefaultsRunLog log(path);
    append(path, "not json\n[1,2]\n{\"pid\":\"7\",\"command\":\"export\",\"domain\":\"d\"}\n"
                 "{\"pid\":7,\"status\":0,\"duration\":1}\n{\"pid\":7,\"command\":3,\"domain\":\"d\"}\n");
    log.refresh();
    EXPECT_TRUE(log.runs().isEmpty()) << "an end without a start and wrong types are no runs";

    // A log started over (deleted and written anew) is read from its beginning.
    QFile::remove(path);
    append(path, DefaultsRunLog::startLine(5, QStringLiteral("import"), QStringLiteral("d")));
    ASSERT_TRUE(log.refresh());
    ASSERT_EQ(log.runs().size(), 1);
    EXPECT_EQ(log.runs().first().command, QStringLiteral("import"));
}

// Every bound of the log at its edge, as the runs it shows: the longest line, a refresh's reading,
// the runs kept.
TEST(DefaultsRunLog, EveryBoundHoldsAtItsEdge)
{
    const QByteArray filled = startsFilling(1000, DefaultsRunLog::maximumReadBytes);
    const QByteArray overfilled = startsFilling(1000, DefaultsRunLog::maximumReadBytes + 1);
    const qint64 lastOfFilled = 1000 + filled.count('\n') - 1;
    const qint64 lastOfOverfilled = 1000 + overfilled.count('\n') - 1;
    const auto starts = [](int count) {
        QByteArray log;
        for (int i = 0; i < count; ++i)
            log += DefaultsRunLog::startLine(5000 + i, QStringLiteral("export"), QStringLiteral("d"));
        return log;
    };
    const int kept = DefaultsRunLog::capacity;
    struct Refresh {
        QByteArray appended;
        qsizetype runs; // -1: any
        qint64 oldest;  // 0: not looked at
        qint64 newest;
    };
    const struct {
        const char* what;
        QList<Refresh> refreshes;
    } cases[] = {
        {"a line of the longest length is a run",
         {{paddedStartLine(7, DefaultsRunLog::maxLineLength) + '\n', 1, 7, 7}}},
        {"one byte longer is none",
         {{paddedStartLine(7, DefaultsRunLog::maxLineLength + 1) + '\n', 0, 0, 0}}},
        {"half a line of the longest length waits for its end",
         {{paddedStartLine(7, DefaultsRunLog::maxLineLength), 0, 0, 0}, {"\n", 1, 7, 7}}},
        {"the rest of a line too long to hold is none either",
         {{QByteArray(DefaultsRunLog::maxLineLength + 1, 'x'), 0, 0, 0},
          {DefaultsRunLog::startLine(8, QStringLiteral("export"), QStringLiteral("d")), 0, 0, 0},
          {DefaultsRunLog::startLine(9, QStringLiteral("export"), QStringLiteral("d")), 1, 9, 9}}},
        {"a refresh reads exactly its limit", {{filled, -1, 0, lastOfFilled}}},
        {"one byte more waits for the next refresh",
         {{overfilled, -1, 0, lastOfOverfilled - 1}, {{}, -1, 0, lastOfOverfilled}}},
        {"as many runs as are kept", {{starts(kept), kept, 5000, 5000 + kept - 1}}},
        {"one more drops the oldest", {{starts(kept + 1), kept, 5001, 5000 + kept}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("log.jsonl"));
        DefaultsRunLog log(path);
        for (const Refresh& refresh : test.refreshes) {
            append(path, refresh.appended);
            log.refresh();
            if (refresh.runs >= 0) {
                EXPECT_EQ(log.runs().size(), refresh.runs);
            }
            if (refresh.oldest) {
                EXPECT_EQ(log.runs().first().pid, refresh.oldest);
            }
            if (refresh.newest) {
                EXPECT_EQ(log.runs().last().pid, refresh.newest);
            }
        }
    }
}
