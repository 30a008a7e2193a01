#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace velmor;

namespace {

// The sentence a refused read ends in; empty when the read succeeded.
QString refusal(const std::function<void()>& read)
{
    try {
        read();
    } catch (const SystemError& error) {
        EXPECT_EQ(error.kind(), SystemError::Kind::File);
        return error.description();
    }
    return {};
}

QString reason(const char* sentence)
{
    return QString::fromUtf8(sentence);
}

QString tooLargeFor(qint64 limit)
{
    return reason(RegularFile::tooLargeReason).arg(limit);
}

} // namespace

// What an attacker can plant where the app reads, against the reader's limit: a file of exactly the
// limit, one byte more, a file that says it is empty and goes on (as the kernel's own files do), a
// FIFO without a writer (opening it for reading would wait forever), an endless device, a folder.
TEST(RegularFile, OnlyRegularFilesWithinTheLimitAreRead)
{
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = folder.filePath(QStringLiteral("zero"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString file = folder.filePath(QStringLiteral("file"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("0123456789");
    out.close();
    // Its stated size is 0, so only the read itself can find it too large.
    const QString understated = QStringLiteral("/proc/self/cmdline");
    QFile kernel(understated);
    const QByteArray arguments = kernel.open(QIODevice::ReadOnly) ? kernel.readAll() : QByteArray();
    const auto kernelBytes = static_cast<qint64>(arguments.size());
    const QString missing = folder.filePath(QStringLiteral("missing"));

    struct Case {
        const char* what;
        QString path;
        std::optional<qint64> offset; // readFrom() from here, else read()
        qint64 limit;
        QByteArray content;
        QString refusedWith;
    };
    const Case cases[] = {
        {"a file of exactly the limit", file, std::nullopt, 10, "0123456789", {}},
        {"one byte over the limit", file, std::nullopt, 9, {}, tooLargeFor(9)},
        {"understated, exactly the limit", understated, std::nullopt, kernelBytes, arguments, {}},
        {"understated, one over",
         understated,
         std::nullopt,
         kernelBytes - 1,
         {},
         tooLargeFor(kernelBytes - 1)},
        {"the rest, exactly the limit", file, 7, 3, "789", {}},
        {"the rest, one byte over the limit, is cut", file, 6, 3, "678", {}},
        {"nothing left", file, 10, 3, {}, {}},
        {"a FIFO", fifo, std::nullopt, 1024, {}, reason(RegularFile::notRegularReason)},
        {"a FIFO read in steps", fifo, 0, 3, {}, reason(RegularFile::notRegularReason)},
        {"an endless device", zero, std::nullopt, 1024, {}, reason(RegularFile::notRegularReason)},
        {"a folder", folder.path(), std::nullopt, 1024, {}, reason(RegularFile::notRegularReason)},
        {"a missing file", missing, std::nullopt, 10, {}, missing},
    };
    ASSERT_GT(kernelBytes, 1) << "the kernel's record of this process's arguments";
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        QByteArray content;
        qint64 size = -1;
        const QString refused = refusal([&] {
            content = test.offset ? RegularFile::readFrom(test.path, *test.offset, test.limit, &size)
                                  : RegularFile::read(test.path, test.limit);
        });
        if (test.refusedWith.isEmpty()) {
            EXPECT_EQ(refused, QString());
            EXPECT_EQ(content, test.content);
        } else {
            EXPECT_TRUE(refused.contains(test.refusedWith)) << qPrintable(refused);
            EXPECT_TRUE(refused.contains(test.path)) << "the sentence names the file";
        }
        if (test.offset && test.path == file) {
            EXPECT_EQ(size, 10) << "a read in steps is told the file's size";
        }
    }
    // Understated and longer than one read: another process's environment, which the kernel hands
    // out exactly as asked. Where a read ends at the limit, the byte after it still decides.
    QProcess child;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("FILLER"), QString(100000, u'x'));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted());
    const auto stopChild = qScopeGuard([&child] {
        child.kill();
        child.waitForFinished();
    });
    const QString childEnvironment = QStringLiteral("/proc/%1/environ").arg(child.processId());
    // Until its new program is in place, the kernel may show it empty.
    QByteArray whole;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QFile given(childEnvironment);
        whole = given.open(QIODevice::ReadOnly) ? given.readAll() : QByteArray();
        return whole.size() > 100000;
    }));
    const auto wholeBytes = static_cast<qint64>(whole.size());
    EXPECT_EQ(RegularFile::read(childEnvironment, wholeBytes), whole);
    for (const qint64 limit : {qint64(65536), wholeBytes - 1}) {
        EXPECT_TRUE(refusal([&] { RegularFile::read(childEnvironment, limit); }).contains(tooLargeFor(limit)))
            << limit;
    }
    for (const QString& special : {fifo, zero, folder.path()}) {
        QFile opened;
        EXPECT_TRUE(refusal([&] {
                        RegularFile::open(opened, special);
                    }).endsWith(reason(RegularFile::notRegularReason)))
            << qPrintable(special);
    }
}
