#include "simulated_mac/defaults_run_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include <gtest/gtest.h>

using velmor::simulated_mac::DefaultsRunLog;

namespace {

void append(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write(bytes);
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

    // Half a line waits for the rest.
    const QByteArray end = DefaultsRunLog::endLine(alive, 1, 0.25);
    append(path, end.left(10));
    EXPECT_FALSE(log.refresh());
    append(path, end.mid(10));
    ASSERT_TRUE(log.refresh());
    EXPECT_EQ(log.runs()[0].exitStatus, 1);
    EXPECT_EQ(log.runs()[0].durationSeconds, 0.25);
}

TEST(DefaultsRunLog, HostileLinesAreSkippedAndTheRecordStaysBounded)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("log.jsonl"));
    DefaultsRunLog log(path);
    append(path, "not json\n[1,2]\n{\"pid\":\"7\",\"command\":\"export\",\"domain\":\"d\"}\n"
                 "{\"pid\":7,\"status\":0,\"duration\":1}\n{\"pid\":7,\"command\":3,\"domain\":\"d\"}\n" +
                     QByteArray(DefaultsRunLog::maxLineLength + 10, 'x') + "\n");
    log.refresh();
    EXPECT_TRUE(log.runs().isEmpty()) << "an end without a start, wrong types and giant lines are no runs";

    QByteArray many;
    for (int i = 0; i < DefaultsRunLog::capacity + 50; ++i)
        many += DefaultsRunLog::startLine(100000 + i, QStringLiteral("export"), QStringLiteral("d"));
    append(path, many);
    log.refresh();
    ASSERT_EQ(log.runs().size(), DefaultsRunLog::capacity);
    EXPECT_EQ(log.runs().last().pid, 100000 + DefaultsRunLog::capacity + 49);

    // A log started over (deleted and written anew) is read from its beginning.
    QFile::remove(path);
    append(path, DefaultsRunLog::startLine(5, QStringLiteral("import"), QStringLiteral("d")));
    ASSERT_TRUE(log.refresh());
    ASSERT_EQ(log.runs().size(), 1);
    EXPECT_EQ(log.runs().first().command, QStringLiteral("import"));
}
