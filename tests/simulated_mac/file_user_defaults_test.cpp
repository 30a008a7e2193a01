#include "foundation/property_list.h"
#include "simulated_mac/file_user_defaults.h"

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

TEST_F(FileUserDefaultsTest, AnUnreadableFileReadsEmptyAndIsMovedAsideBeforeTheFirstWrite)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("bplist00 damaged beyond repair");
    file.close();

    FileUserDefaults defaults(path());
    EXPECT_FALSE(defaults.value(QStringLiteral("anything")).isValid());
    EXPECT_TRUE(defaults.movedAsidePath().isEmpty()) << "reading alone must not touch the user's file";

    defaults.setValue(QStringLiteral("flag"), true);
    ASSERT_FALSE(defaults.movedAsidePath().isEmpty());
    QFile aside(defaults.movedAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("bplist00 damaged beyond repair"));
    EXPECT_EQ(FileUserDefaults(path()).boolValue(QStringLiteral("flag")), true);
}
