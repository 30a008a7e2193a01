#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "tray_visibility/defaults_tool_runner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;

namespace {

// The tool played by shell scripts, to pin the runner's own contract. (Its deadline is tested with
// the real stand-in, in the integration tests.)
class DefaultsToolRunnerTest : public ::testing::Test {
protected:
    DefaultsToolRunner runner(const QByteArray& script)
    {
        QFile file(m_scripts.filePath(QStringLiteral("tool")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("#!/bin/sh\n" + script);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return DefaultsToolRunner({file.fileName(), m_temporary.path(), QStringLiteral("run-"),
                                   QStringLiteral("import-"), QStringLiteral("file.plist")});
    }
    bool clean() const
    {
        return QDir(m_temporary.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir m_scripts;
    QTemporaryDir m_temporary;
};

} // namespace

TEST_F(DefaultsToolRunnerTest, HandsBackStandardOutputOfAToolThatSucceeds)
{
    // The output arrives through a pipe, never a file; an import passes a private file from a
    // private folder of its own.
    const QByteArray script =
        "case $(readlink /proc/$$/fd/1) in pipe:*) echo piped;; esac\n"
        "echo \"$@\"; echo noise >&2\n"
        "case \"$3\" in */import-*/file.plist)\n"
        "  [ \"$(stat -c %a \"$3\" \"$(dirname \"$3\")\" | tr '\\n' ' ')\" = '600 700 ' ]"
        " || exit 1;; esac";
    EXPECT_EQ(
        runner(script).run({QStringLiteral("export"), QStringLiteral("/a domain"), QStringLiteral("-")}),
        QByteArray("piped\nexport /a domain -\n"));
    EXPECT_TRUE(runner(script).importDomain(QStringLiteral("/d"), "content"));
    EXPECT_TRUE(clean());

    // Whatever the tool says on its error stream is read and dropped, so it never blocks on it; a
    // tool that closes that stream early is still waited for.
    EXPECT_EQ(runner("head -c 300000 /dev/zero >&2; echo done").run({}), QByteArray("done\n"));
    EXPECT_EQ(runner("exec 2>&-; sleep 0.2; echo late").run({}), QByteArray("late\n"));
    EXPECT_FALSE(runner("echo partial; exit 3").run({}));
    // Output of the largest property list that can be read arrives whole; one byte more could be no
    // property list, and is refused rather than held in memory.
    const auto zeros = [&](qint64 count) {
        return runner("head -c " + QByteArray::number(count) + " /dev/zero").run({});
    };
    EXPECT_TRUE(zeros(PropertyList::maximumBytes) == QByteArray(PropertyList::maximumBytes, '\0'));
    EXPECT_FALSE(zeros(PropertyList::maximumBytes + 1));
    EXPECT_FALSE(runner("kill -SEGV $$").run({}));
    EXPECT_FALSE(runner("exit 1").importDomain(QStringLiteral("/d"), "content"));
    const DefaultsToolRunner missing({m_scripts.filePath(QStringLiteral("absent")), m_temporary.path(),
                                      QStringLiteral("run-"), QStringLiteral("import-"),
                                      QStringLiteral("f")});
    EXPECT_THROW(missing.run({}), SystemError);
    EXPECT_TRUE(clean());
}
