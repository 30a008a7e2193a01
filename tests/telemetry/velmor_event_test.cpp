#include "telemetry/velmor_event.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(VelmorEventTest, EveryWireNameFollowsTheRuleAndParsesBackToItsEvent)
{
    const QRegularExpression rule(QStringLiteral("\\A[a-z]+\\.[a-z]+\\z"));
    QSet<QString> seen;
    for (const VelmorEvent event : velmor_event::allCases()) {
        const QString name = velmor_event::wireName(event);
        EXPECT_TRUE(rule.match(name).hasMatch()) << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen.insert(name);
        EXPECT_EQ(velmor_event::fromWireName(name), event);
    }
}

TEST(VelmorEventTest, ParsingIsExact)
{
    EXPECT_EQ(velmor_event::fromWireName(QStringLiteral("app.uncleanexit")), VelmorEvent::appUncleanExit);
    EXPECT_FALSE(velmor_event::fromWireName(QStringLiteral("app.uncleanExit")));
    EXPECT_FALSE(velmor_event::fromWireName(QStringLiteral("App.opened")));
    EXPECT_FALSE(velmor_event::fromWireName(QStringLiteral("app.opened ")));
    EXPECT_FALSE(velmor_event::fromWireName(QStringLiteral(" app.opened")));
    EXPECT_FALSE(velmor_event::fromWireName(QString()));
}

} // namespace
} // namespace velmor
