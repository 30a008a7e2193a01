#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>

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

} // namespace

// What an attacker can plant where the app reads: a FIFO without a writer (opening it for reading
// would wait forever), an endless device, a folder, a file over the reader's limit.
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

    EXPECT_EQ(RegularFile::read(file, 10), QByteArray("0123456789"));
    EXPECT_TRUE(refusal([&] {
                    RegularFile::read(file, 9);
                }).endsWith(QString::fromUtf8(RegularFile::tooLargeReason).arg(9)));
    for (const QString& special : {fifo, zero, folder.path()}) {
        EXPECT_TRUE(refusal([&] {
                        RegularFile::read(special, 1024);
                    }).endsWith(reason(RegularFile::notRegularReason)))
            << qPrintable(special);
        QFile opened;
        EXPECT_FALSE(refusal([&] { RegularFile::open(opened, special); }).isEmpty());
    }
    EXPECT_TRUE(refusal([&] {
                    RegularFile::read(folder.filePath(QStringLiteral("missing")), 10);
                }).contains(folder.filePath(QStringLiteral("missing"))));

    // A log read in steps: from an offset, never more than asked for, and its size told.
    qint64 size = 0;
    EXPECT_EQ(RegularFile::readFrom(file, 4, 3, &size), QByteArray("456"));
    EXPECT_EQ(size, 10);
    EXPECT_EQ(RegularFile::readFrom(file, 10, 3, &size), QByteArray());
    EXPECT_FALSE(refusal([&] { RegularFile::readFrom(fifo, 0, 3, &size); }).isEmpty());
}
