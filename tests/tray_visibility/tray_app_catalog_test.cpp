#include "tray_visibility/tray_app_catalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace velmor;
using Availability = TrayAppCatalog::Availability;
using Entry = TrayAppCatalog::Entry;

namespace {

const QString own = QStringLiteral("local.velmor.tray");

QHash<QString, QString> names(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    QHash<QString, QString> result;
    for (const auto& [id, name] : pairs)
        result.insert(QString::fromLatin1(id), QString::fromUtf8(name));
    return result;
}

QSet<QString> ids(std::initializer_list<const char*> list)
{
    QSet<QString> result;
    for (const char* id : list)
        result.insert(QString::fromLatin1(id));
    return result;
}

} // namespace

// Which apps count as actionable, native or unavailable is the model's test, through the
// organizer's rows; here what the catalog keeps and in which order.
TEST(TrayAppCatalog, RemembersNamesAfterTheAppQuitsAndPrefersTheActionableName)
{
    TrayAppCatalog catalog;
    catalog.refresh(names({{"x.app", "Running Name"}}), names({{"x.app", "Menu Name"}}), {}, {}, own);
    EXPECT_EQ(catalog.names().value(QStringLiteral("x.app")), QStringLiteral("Menu Name"));

    const QList<Entry> later = catalog.refresh({}, {}, {}, {}, own);
    ASSERT_EQ(later.size(), 1);
    EXPECT_EQ(later[0],
              (Entry{QStringLiteral("x.app"), QStringLiteral("Menu Name"), Availability::notRunning}));

    const QList<Entry> back = catalog.refresh(names({{"x.app", "Renamed"}}), {}, {}, {}, own);
    EXPECT_EQ(back[0],
              (Entry{QStringLiteral("x.app"), QStringLiteral("Renamed"), Availability::unavailable}));
}

TEST(TrayAppCatalog, NeverListsAppleAppsTheAppItselfOrEmptyIdentifiers)
{
    TrayAppCatalog catalog;
    const auto entries = catalog.refresh({}, names({{"", "Empty"}}), ids({"com.apple.controlcenter"}),
                                         ids({"local.velmor.tray", "com.apple.x"}), own);
    EXPECT_TRUE(entries.isEmpty());
    EXPECT_TRUE(catalog.names().isEmpty());
}

TEST(TrayAppCatalog, SortsByNameWithDigitsByValueAndKeepsTiesStable)
{
    TrayAppCatalog catalog;
    const auto entries = catalog.refresh(
        {}, names({{"b", "Item 10"}, {"a", "item 9"}, {"c", "Item 9"}, {"d", "Äpfel"}, {"e", "zebra"}}), {},
        {}, own);
    QStringList order;
    for (const Entry& entry : entries)
        order.append(entry.bundleID);
    EXPECT_EQ(order, (QStringList{QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("c"),
                                  QStringLiteral("b"), QStringLiteral("e")}));
}

// The stored form is written and read back in the model's test.
TEST(TrayAppCatalog, StoredNamesOfAnotherShapeAreRefused)
{
    EXPECT_FALSE(TrayAppCatalog::fromJson(Json::object()));
    EXPECT_FALSE(TrayAppCatalog::fromJson(Json{{"names", Json::array()}}));
    EXPECT_FALSE(TrayAppCatalog::fromJson(Json{{"names", Json{{"x", 1}}}}));
}
