#include "foundation/text.h"
#include "foundation/uuid_text.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace velmor;

TEST(Text, TrimsWhiteSpaceAndNewlinesAtBothEnds)
{
    EXPECT_EQ(text::trimmed(QStringLiteral("\n\t  Work \n")), QStringLiteral("Work"));
    EXPECT_EQ(text::trimmed(QStringLiteral(" \u00A0 ")), QString());
}

TEST(Text, CutsAtGraphemeClustersNeverInsideOne)
{
    // A flag is two surrogate pairs; a family emoji is a joined sequence of several.
    const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");
    const QString text = flag + QStringLiteral("ab");
    EXPECT_EQ(text::prefixGraphemes(text, 1), flag);
    EXPECT_EQ(text::prefixGraphemes(text, 2), flag + QStringLiteral("a"));
    EXPECT_EQ(text::prefixGraphemes(QStringLiteral("e\u0301x"), 1), QStringLiteral("e\u0301"));
    EXPECT_EQ(text::prefixGraphemes(QStringLiteral("abc"), 10), QStringLiteral("abc"));
    EXPECT_EQ(text::prefixGraphemes(QStringLiteral("abc"), 0), QString());
}

// The order must not follow the process locale, which the C locale would make byte order.
TEST(Text, LocalizedStandardCompareOrdersDigitsByValueIgnoringCaseInAnyLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    EXPECT_LT(text::localizedStandardCompare(QStringLiteral("Item 9"), QStringLiteral("Item 10")), 0);
    EXPECT_LT(text::localizedStandardCompare(QStringLiteral("alpha"), QStringLiteral("Beta")), 0);
    EXPECT_EQ(text::localizedStandardCompare(QStringLiteral("item 9"), QStringLiteral("Item 9")), 0);
    QLocale::setDefault(previous);
}

TEST(UuidText, CanonicalFormIsUpperCaseAndParsesBack)
{
    const QUuid uuid = uuid_text::random();
    const QString text = uuid_text::canonical(uuid);
    EXPECT_EQ(text.size(), 36);
    EXPECT_EQ(text, text.toUpper());
    EXPECT_EQ(uuid_text::parse(text), uuid);
    EXPECT_EQ(uuid_text::parse(text.toLower()), uuid);
    EXPECT_EQ(uuid.version(), QUuid::Random);
}

TEST(UuidText, RejectsAnythingButTheExact8_4_4_4_12Shape)
{
    for (const char* bad : {"", "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", "3F2504E04F8911D39A0C0305E82C3301",
                            "3F2504E0-4F89-11D3-9A0C-0305E82C330", "3F2504E0-4F89-11D3-9A0C-0305E82C3301 ",
                            "3F2504E0_4F89-11D3-9A0C-0305E82C3301", "3G2504E0-4F89-11D3-9A0C-0305E82C3301"})
        EXPECT_FALSE(uuid_text::parse(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(uuid_text::parse(QStringLiteral("00000000-0000-0000-0000-000000000000")));
}
