#include "foundation/system_error.h"
#include "support/process_probe.h"
#include "tray_visibility/defaults_tool_runner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;

namespace {

// Stand-ins for the tool written as shell scripts, to pin the runner's own contract.
class DefaultsToolRunnerTest : public ::testing::Test {
protected:
    DefaultsToolRunner runnerFor(const QByteArray& script)
    {
        const QString path = m_scripts.filePath(QStringLiteral("tool"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return DefaultsToolRunner({path, m_temporary.path(), QStringLiteral("run-"),
                                   QStringLiteral("import-"), QStringLiteral("file.plist")});
    }
    QStringList leftovers() const
    {
        return QDir(m_temporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_scripts;
    QTemporaryDir m_temporary;
};

} // namespace

TEST_F(DefaultsToolRunnerTest, HandsBackStandardOutputAndOnlyThatFromAPrivateFolder)
{
    const auto runner =
        runnerFor("echo \"$@\"; echo noise >&2; ls -ld \"$(pwd)\" >/dev/null; "
                  "stat -c %a \"$(readlink /proc/$$/fd/1)\" \"$(dirname \"$(readlink /proc/$$/fd/1)\")\"");
    const auto output =
        runner.run({QStringLiteral("export"), QStringLiteral("/some domain"), QStringLiteral("-")});
    ASSERT_TRUE(output);
    EXPECT_EQ(*output, QByteArray("export /some domain -\n600\n700\n"));
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DefaultsToolRunnerTest, ImportsThroughAFileInItsOwnFolderAndRemovesBoth)
{
    const auto runner =
        runnerFor("case \"$3\" in */import-*/file.plist) cat \"$3\" > \"$2\";; *) exit 9;; esac");
    const QString target = m_scripts.filePath(QStringLiteral("domain"));
    EXPECT_TRUE(runner.importDomain(target, QByteArray("document")));
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("document"));
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DefaultsToolRunnerTest, FailureStatusesAndLaunchFailuresAreToldApart)
{
    EXPECT_FALSE(runnerFor("echo partial; exit 3").run({}));
    EXPECT_FALSE(runnerFor("kill -SEGV $$").run({}));
    EXPECT_FALSE(runnerFor("exit 1").importDomain(QStringLiteral("/d"), QByteArray("x")));
    EXPECT_TRUE(leftovers().isEmpty());

    const DefaultsToolRunner missing({m_scripts.filePath(QStringLiteral("absent")), m_temporary.path(),
                                      QStringLiteral("run-"), QStringLiteral("import-"),
                                      QStringLiteral("f")});
    EXPECT_THROW(missing.run({}), SystemError);
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(DefaultsToolRunnerTest, KillsAHangingToolAndEverythingItStartedAtTheDeadline)
{
    const QString pids = m_scripts.filePath(QStringLiteral("pids"));
    const auto runner =
        runnerFor(QStringLiteral("echo $$ > '%1'; sleep 30 & echo $! >> '%1'; wait").arg(pids).toUtf8());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(runner.run({}));
    const qint64 elapsed = timer.elapsed();
    EXPECT_GE(elapsed, DefaultsToolRunner::kDeadline.count());
    EXPECT_LT(elapsed, DefaultsToolRunner::kDeadline.count() + 1500);

    QFile file(pids);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    for (const QByteArray& pid : lines)
        EXPECT_FALSE(test::processIsAlive(pid.toLongLong())) << "process " << pid.constData() << " survived";
    EXPECT_TRUE(leftovers().isEmpty());
}
