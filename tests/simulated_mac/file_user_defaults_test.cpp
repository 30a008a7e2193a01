#include "foundation/property_list.h"
#include "simulated_mac/file_user_defaults.h"
#include "support/hostile_property_lists.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;

class FileUserDefaultsTest : public ::testing::Test {
protected:
    QString path() const
    {
        return m_home.filePath(QStringLiteral("Library/Preferences/local.velmor.tray.plist"));
    }
    QTemporaryDir m_home;
};

TEST_F(FileUserDefaultsTest, ValuesSurviveAReopenWithTheirTypes)
{
    {
        FileUserDefaults defaults(path());
        defaults.setValue(QStringLiteral("flag"), true);
        defaults.setValue(QStringLiteral("count"), qint64(3));
        defaults.setValue(QStringLiteral("json"), QByteArray("{\"groups\":{}}"));
        defaults.setValue(QStringLiteral("name"), QStringLiteral("Tray"));
        defaults.setValue(QStringLiteral("state"), QVariantMap{{QStringLiteral("configured"), true}});
        defaults.setValue(QStringLiteral("list"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        defaults.setValue(QStringLiteral("gone"), 1.5);
        defaults.remove(QStringLiteral("gone"));
    }
    FileUserDefaults reopened(path());
    EXPECT_EQ(reopened.boolValue(QStringLiteral("flag")), true);
    EXPECT_FALSE(reopened.boolValue(QStringLiteral("count"))) << "an integer is not a Boolean";
    EXPECT_EQ(reopened.value(QStringLiteral("count")).toLongLong(), 3);
    EXPECT_EQ(reopened.dataValue(QStringLiteral("json")), QByteArray("{\"groups\":{}}"));
    EXPECT_EQ(reopened.stringValue(QStringLiteral("name")), QStringLiteral("Tray"));
    EXPECT_EQ(reopened.dictionaryValue(QStringLiteral("state"))->value(QStringLiteral("configured")), true);
    EXPECT_EQ(reopened.arrayValue(QStringLiteral("list"))->size(), 2);
    EXPECT_FALSE(reopened.value(QStringLiteral("gone")).isValid());

    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("bplist00"));
    EXPECT_EQ(QFile::permissions(path()) &
                  (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                   QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(FileUserDefaultsTest, MembersItDoesNotUnderstandAreKept)
{
    PropertyList stored = PropertyList::dictionary();
    stored.root().setEntry(QStringLiteral("uid"), PropertyList::uid(9));
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stored.toBinary());
    file.close();

    FileUserDefaults defaults(path());
    defaults.setValue(QStringLiteral("flag"), false);
    QFile written(path());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(PropertyList::decode(written.readAll()).root().value(QStringLiteral("uid")).toUid(), 9u);
}

namespace {

// The app's preferences with "flag" on, padded with data to exactly `total` bytes; written here in
// one piece, as the property list's writer would take long over so much data.
QByteArray defaultsOfSize(qsizetype total)
{
    const auto bigEndian = &test::RawBinaryPlist::bigEndian;
    // { "flag": true, "padding": <data> }: the dictionary, its two keys, true, the data.
    const auto ascii = [](const QByteArray& text) { return char(0x50 | text.size()) + text; };
    const QByteArray objects[] = {QByteArray("\xd2\x00\x01\x00\x02\x00\x03\x00\x04", 9), ascii("flag"),
                                  ascii("padding"), "\x09", "\x4f\x12"};
    const qsizetype data = total - (8 + 9 + 5 + 8 + 1 + 6 + 5 * 4 + 32);
    QByteArray bytes("bplist00");
    bytes.reserve(total);
    QByteArray table;
    for (const QByteArray& object : objects) {
        table += bigEndian(static_cast<quint64>(bytes.size()), 4);
        bytes += object;
    }
    bytes += bigEndian(static_cast<quint64>(data), 4);
    bytes.resize(bytes.size() + data, 'p');
    const auto tableOffset = static_cast<quint64>(bytes.size());
    bytes += table + QByteArray(6, '\0') + '\x04' + '\x02';
    bytes += bigEndian(5, 8) + bigEndian(0, 8) + bigEndian(tableOffset, 8);
    return bytes;
}

} // namespace

// A file it cannot read (damaged, or one byte over the property list's size limit) reads as empty
// and is moved aside, untouched, before the first write; one of exactly the limit is read.
TEST_F(FileUserDefaultsTest, AnUnreadableFileReadsEmptyAndIsMovedAsideBeforeTheFirstWrite)
{
    const struct {
        const char* what;
        QByteArray stored;
        bool readable;
    } cases[] = {
        {"damaged", "bplist00 damaged beyond repair", false},
        {"exactly the size limit", defaultsOfSize(PropertyList::maximumBytes), true},
        {"one byte over the size limit", defaultsOfSize(PropertyList::maximumBytes + 1), false},
    };
    QDir().mkpath(QFileInfo(path()).absolutePath());
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        QFile::remove(path());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(test.stored);
        file.close();

        FileUserDefaults defaults(path());
        EXPECT_EQ(defaults.value(QStringLiteral("flag")).isValid(), test.readable);
        EXPECT_TRUE(defaults.movedAsidePath().isEmpty()) << "reading alone must not touch the user's file";
        if (test.readable)
            continue; // the limit is one of reading
        defaults.setValue(QStringLiteral("other"), true);
        ASSERT_FALSE(defaults.movedAsidePath().isEmpty());
        EXPECT_EQ(FileUserDefaults(path()).boolValue(QStringLiteral("other")), true);
        QFile aside(defaults.movedAsidePath());
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_TRUE(aside.readAll() == test.stored);
        QFile::remove(defaults.movedAsidePath());
    }
}
