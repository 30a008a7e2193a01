#include "telemetry/velmor_event.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(VelmorEventTest, NamedEventsKeepTheirPlacesAndWireNames)
{
    const auto& all = velmor_event::allCases();
    ASSERT_EQ(all.size(), 49u);
    const std::pair<std::size_t, const char*> named[] = {
        {0, "app.opened"},        {21, "tray.collapsed"}, {44, "update.found"},    {45, "update.downloaded"},
        {46, "update.installed"}, {47, "update.failed"},  {48, "app.uncleanexit"},
    };
    for (const auto& [place, name] : named)
        EXPECT_EQ(velmor_event::wireName(all[place]), QString::fromLatin1(name)) << place;
    EXPECT_EQ(all[21], VelmorEvent::trayCollapsed);
    EXPECT_EQ(all[48], VelmorEvent::appUncleanExit);
}

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
