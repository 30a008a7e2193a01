#include "telemetry/velmor_event.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace velmor {
namespace {

// The service aggregates by name: two events under one name, or a malformed one, would be lost.
TEST(VelmorEventTest, EveryWireNameFollowsTheRuleAndIsUnique)
{
    const QRegularExpression rule(QStringLiteral("\\A[a-z]+\\.[a-z]+\\z"));
    QSet<QString> seen;
    for (const VelmorEvent event : velmor_event::allCases()) {
        const QString name = velmor_event::wireName(event);
        EXPECT_TRUE(rule.match(name).hasMatch()) << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen.insert(name);
    }
}

} // namespace
} // namespace velmor
