#include "foundation/uuid_text.h"
#include "tray/tray_app_grouping.h"
#include "tray/tray_decode_error.h"
#include "tray/tray_model.h"
#include "tray_decode_failure.h"

#include <gtest/gtest.h>

using namespace velmor;

namespace {

const QUuid kWork = QUuid::fromString(QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301"));
const QUuid kChat = QUuid::fromString(QStringLiteral("9B2D6D0E-8C1A-4D3B-A1E2-0F1E2D3C4B5A"));
const QUuid kGone = QUuid::fromString(QStringLiteral("00000000-0000-4000-8000-000000000001"));

TrayNamedGroup group(const QUuid& id, const QString& name, const QString& symbol = QStringLiteral("star"))
{
    return TrayNamedGroup{id, name, symbol};
}

QSet<QString> bundles(std::initializer_list<const char*> list)
{
    QSet<QString> result;
    for (const char* bundleID : list)
        result.insert(QString::fromUtf8(bundleID));
    return result;
}

TrayDecodeError groupingFailure(const char* text)
{
    return trayDecodeFailure<TrayAppGrouping>(text);
}

} // namespace

TEST(TrayAppGrouping, NormaliseRepairsNamesAndSymbols)
{
    const QString fifty = QString(50, u'n');
    const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");
    TrayAppGrouping grouping;
    grouping.groups = {
        group(uuid_text::random(), QStringLiteral("   ")), group(uuid_text::random(), fifty),
        group(uuid_text::random(), QStringLiteral("\n\n ") + QString(39, u'a') + QStringLiteral("bc\n")),
        group(uuid_text::random(), flag.repeated(41), QStringLiteral("gearshape")),
        group(uuid_text::random(), QStringLiteral(" Chat "), QStringLiteral("ellipsis.circle"))};
    grouping.normalize();
    EXPECT_EQ(grouping.groups[0].name, QStringLiteral("Group"));
    EXPECT_EQ(grouping.groups[1].name, QString(40, u'n'));
    EXPECT_EQ(grouping.groups[2].name, QString(39, u'a') + QStringLiteral("b"));
    EXPECT_EQ(grouping.groups[3].name, flag.repeated(40));
    EXPECT_EQ(grouping.groups[3].symbol, QStringLiteral("folder"));
    EXPECT_EQ(grouping.groups[4].name, QStringLiteral("Chat"));
    EXPECT_EQ(grouping.groups[4].symbol, QStringLiteral("ellipsis.circle"));
}

TEST(TrayAppGrouping, NormaliseKeepsTheFirstGroupPerIdAndOnlyValidMemberships)
{
    TrayAppGrouping grouping;
    grouping.groups = {group(kWork, QStringLiteral("Work")), group(kChat, QStringLiteral("Chat")),
                       group(kWork, QStringLiteral("Later work"))};
    grouping.memberships = {{QStringLiteral("com.example.mail"), kWork},
                            {QStringLiteral("com.apple.Music"), kWork},
                            {QString(), kChat},
                            {QStringLiteral("com.example.gone"), kGone},
                            {QStringLiteral("com.example.chat"), kChat}};
    grouping.normalize();
    ASSERT_EQ(grouping.groups.size(), 2);
    EXPECT_EQ(grouping.groups[0], group(kWork, QStringLiteral("Work")));
    EXPECT_EQ(grouping.groups[1].id, kChat);
    EXPECT_EQ(grouping.memberships, (QMap<QString, QUuid>{{QStringLiteral("com.example.chat"), kChat},
                                                          {QStringLiteral("com.example.mail"), kWork}}));
}

TEST(TrayAppGrouping, HidingRuleFollowsSectionsGroupsAndApple)
{
    TrayAppGrouping none;
    const TraySectionMap sections = {{QStringLiteral("a"), TraySection::expandable},
                                     {QStringLiteral("b"), TraySection::alwaysHidden},
                                     {QStringLiteral("c"), TraySection::trayBelow},
                                     {QStringLiteral("d"), TraySection::alwaysVisible},
                                     {QStringLiteral("com.apple.x"), TraySection::alwaysHidden}};
    EXPECT_EQ(none.hiddenBundles(sections, false, {}), bundles({"a", "b"}));
    EXPECT_EQ(none.hiddenBundles(sections, true, {}), bundles({"b"}));

    TrayAppGrouping grouped;
    grouped.groups = {group(kWork, QStringLiteral("Work"))};
    // Memberships are normally cleaned up; the rule must still ignore what slipped through.
    grouped.memberships = {{QStringLiteral("b"), kWork},
                           {QStringLiteral("d"), kWork},
                           {QStringLiteral("a"), kGone},
                           {QStringLiteral("com.apple.y"), kWork}};
    EXPECT_EQ(grouped.hiddenBundles(sections, true, {}), bundles({"b", "d"}));
    EXPECT_EQ(grouped.hiddenBundles(sections, true, {kWork}), bundles({}));
    EXPECT_EQ(grouped.hiddenBundles(sections, false, {kWork}), bundles({}));
}

TEST(TrayAppGrouping, RemoveReturnsTheMembersAndLeavesNoneBehind)
{
    TrayAppGrouping grouping;
    grouping.groups = {group(kWork, QStringLiteral("Work")), group(kChat, QStringLiteral("Chat"))};
    grouping.memberships = {
        {QStringLiteral("a"), kWork}, {QStringLiteral("b"), kWork}, {QStringLiteral("c"), kChat}};

    const TrayAppGrouping before = grouping;
    EXPECT_TRUE(grouping.remove(kGone).isEmpty());
    EXPECT_EQ(grouping, before);

    const QStringList removed = grouping.remove(kWork);
    EXPECT_EQ(QSet<QString>(removed.begin(), removed.end()), bundles({"a", "b"}));
    EXPECT_EQ(removed.size(), 2);
    ASSERT_EQ(grouping.groups.size(), 1);
    EXPECT_EQ(grouping.groups[0].id, kChat);
    EXPECT_EQ(grouping.memberships, (QMap<QString, QUuid>{{QStringLiteral("c"), kChat}}));
}

TEST(TrayAppGrouping, StoredFormRoundTripsWithoutNormalising)
{
    const char* text =
        R"({"groups":[{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","name":"  Work ",)"
        R"("symbol":"gearshape"}],"memberships":{"a.app":"3F2504E0-4F89-11D3-9A0C-0305E82C3301",)"
        R"("com.apple.b":"00000000-0000-4000-8000-000000000001"}})";
    const TrayAppGrouping decoded = TrayAppGrouping::decode(Json::parse(text));
    EXPECT_EQ(decoded.groups.value(0), group(kWork, QStringLiteral("  Work "), QStringLiteral("gearshape")));
    EXPECT_EQ(decoded.memberships.size(), 2);
    // Memberships are written sorted by bundle identifier.
    EXPECT_EQ(json::serialize(decoded.encode()), QByteArray(text));
    const auto lower = TrayAppGrouping::tryDecode(
        Json::parse(R"({"groups":[{"id":"3f2504e0-4f89-11d3-9a0c-0305e82c3301","name":"W","symbol":"star"}],)"
                    R"("memberships":{}})"));
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->groups.value(0).id, kWork);
}

TEST(TrayAppGrouping, DecodingRefusesMissingMembersWrongTypesAndBadIds)
{
    EXPECT_EQ(groupingFailure(R"({"groups":[]})").path(), QStringLiteral("memberships"));
    const TrayDecodeError missingSymbol = groupingFailure(
        R"({"groups":[{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","name":"W"}],"memberships":{}})");
    EXPECT_EQ(missingSymbol.kind(), TrayDecodeError::Kind::keyNotFound);
    EXPECT_EQ(missingSymbol.path(), QStringLiteral("groups.0.symbol"));
    EXPECT_EQ(groupingFailure(R"({"groups":[],"memberships":{"a":7}})").kind(),
              TrayDecodeError::Kind::typeMismatch);
    const TrayDecodeError badID = groupingFailure(R"({"groups":[],"memberships":{"a":"{not-a-uuid}"}})");
    EXPECT_EQ(badID.kind(), TrayDecodeError::Kind::dataCorrupted);
    EXPECT_EQ(badID.path(), QStringLiteral("memberships.a"));
}

TEST(TraySectionMap, RoundTripsSortedAndRefusesAnyUnknownValue)
{
    const TraySectionMap map = {{QStringLiteral("z.app"), TraySection::trayBelow},
                                {QStringLiteral("a.app"), TraySection::expandable}};
    const QByteArray text = json::serialize(tray_section_map::encode(map));
    EXPECT_EQ(text, QByteArray(R"({"a.app":"expandable","z.app":"trayBelow"})"));
    EXPECT_EQ(tray_section_map::decode(json::parse(text)), map);

    // Section names are read exactly as written.
    for (const char* other : {"hidden", "AlwaysVisible", "", "expandable "})
        EXPECT_FALSE(tray_section_map::tryDecode(Json{{"a.app", "expandable"}, {"b.app", other}})) << other;
    EXPECT_FALSE(tray_section_map::tryDecode(Json::parse(R"({"a.app":2})")));
    EXPECT_FALSE(tray_section_map::tryDecode(Json::parse(R"(["alwaysVisible"])")));
    EXPECT_EQ(tray_section_map::tryDecode(Json::parse("{}")), TraySectionMap());
}

TEST(TrayModelMigration, EachAppLandsInItsMostVisibleSection)
{
    const QString own = QStringLiteral("local.velmor.tray");
    const TraySectionMap items = {{QStringLiteral("hide.first|a"), TraySection::alwaysHidden},
                                  {QStringLiteral("hide.first|b"), TraySection::expandable},
                                  {QStringLiteral("expand.first|a"), TraySection::expandable},
                                  {QStringLiteral("expand.first|b"), TraySection::alwaysHidden},
                                  {QStringLiteral("below|a"), TraySection::trayBelow},
                                  {QStringLiteral("below.then.hidden|a"), TraySection::trayBelow},
                                  {QStringLiteral("below.then.hidden|b"), TraySection::alwaysHidden},
                                  {QStringLiteral("nested|key|more"), TraySection::alwaysHidden},
                                  {QStringLiteral("no-separator"), TraySection::alwaysHidden},
                                  {QStringLiteral("|empty"), TraySection::alwaysHidden},
                                  {QStringLiteral("com.apple.clock|a"), TraySection::alwaysHidden},
                                  {own + QStringLiteral("|chevron"), TraySection::alwaysHidden}};
    const TraySectionMap expected = {{QStringLiteral("hide.first"), TraySection::expandable},
                                     {QStringLiteral("expand.first"), TraySection::expandable},
                                     {QStringLiteral("below"), TraySection::alwaysVisible},
                                     {QStringLiteral("below.then.hidden"), TraySection::alwaysVisible},
                                     {QStringLiteral("nested"), TraySection::alwaysHidden}};
    EXPECT_EQ(TrayModel::migrateAppGroups(items, own), expected);
}
