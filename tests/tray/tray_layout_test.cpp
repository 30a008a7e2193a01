#include "tray/tray_decode_error.h"
#include "tray/tray_layout.h"
#include "tray_decode_failure.h"

#include <gtest/gtest.h>

using namespace velmor;

namespace {

TrayDecodeError decodeFailure(const char* text)
{
    return trayDecodeFailure<TrayLayout>(text);
}

QStringList ids(std::initializer_list<const char*> list)
{
    QStringList result;
    for (const char* id : list)
        result.append(QString::fromUtf8(id));
    return result;
}

} // namespace

TEST(TrayLayout, DecodingNormalisesWhateverTheStoredKeyOrder)
{
    const TrayLayout empty = TrayLayout::decode(Json::parse(R"({"groups":{}})"));
    ASSERT_EQ(empty.groups.size(), 4u);
    for (const auto& [section, list] : empty.groups)
        EXPECT_TRUE(list.isEmpty()) << rawValue(section).toStdString();

    const TrayLayout repeated = TrayLayout::decode(Json::parse(
        R"({"groups":{"trayBelow":["b","c"],"alwaysHidden":["a"],"alwaysVisible":["a","b","a"]}})"));
    EXPECT_EQ(repeated.groups.at(TraySection::alwaysVisible), ids({"a", "b"}));
    EXPECT_EQ(repeated.groups.at(TraySection::expandable), QStringList());
    EXPECT_EQ(repeated.groups.at(TraySection::alwaysHidden), QStringList());
    EXPECT_EQ(repeated.groups.at(TraySection::trayBelow), ids({"c"}));
}

TEST(TrayLayout, UnknownSectionFailsTheWholeDecodeWithItsName)
{
    const TrayDecodeError error = decodeFailure(R"({"groups":{"alwaysVisible":["a"],"hidden":["b"]}})");
    EXPECT_EQ(error.kind(), TrayDecodeError::Kind::dataCorrupted);
    EXPECT_EQ(error.path(), QStringLiteral("groups"));
    EXPECT_EQ(error.description(), QStringLiteral("Unknown tray section: hidden"));
    EXPECT_FALSE(TrayLayout::tryDecode(Json::parse(R"({"groups":{"hidden":[]}})")));
}

TEST(TrayLayout, WrongShapesFailWithTheDecodersOwnError)
{
    EXPECT_EQ(decodeFailure(R"({})").kind(), TrayDecodeError::Kind::keyNotFound);
    EXPECT_EQ(decodeFailure(R"({"groups":{"expandable":["a",1]}})").path(),
              QStringLiteral("groups.expandable.1"));
    // A list of the wrong type is reported before an unknown name that precedes it.
    EXPECT_EQ(decodeFailure(R"({"groups":{"hidden":[],"expandable":{}}})").kind(),
              TrayDecodeError::Kind::typeMismatch);
}

TEST(TrayLayout, EncodingWritesEverySectionInSectionOrder)
{
    TrayLayout layout;
    layout.groups[TraySection::trayBelow] = ids({"d"});
    layout.groups[TraySection::alwaysVisible] = ids({"b", "a"});
    const QByteArray text = json::serialize(layout.encode());
    EXPECT_EQ(text, QByteArray(R"({"groups":{"alwaysVisible":["b","a"],"expandable":[],"alwaysHidden":[],)"
                               R"("trayBelow":["d"]}})"));
    EXPECT_EQ(json::serialize(TrayLayout::decode(json::parse(text)).encode()), text);
}

TEST(TrayLayout, ReconcileAppendsNewIdsOnceAndKeepsEverythingElse)
{
    TrayLayout layout;
    layout.groups[TraySection::alwaysHidden] = ids({"x"});
    layout.reconcile(ids({"y", "x", "y", "z"}));
    EXPECT_EQ(layout.groups.at(TraySection::alwaysVisible), ids({"y", "z"}));
    EXPECT_EQ(layout.groups.at(TraySection::alwaysHidden), ids({"x"}));

    layout.reconcile(ids({"w"}));
    EXPECT_EQ(layout.groups.at(TraySection::alwaysVisible), ids({"y", "z", "w"}));
    EXPECT_EQ(layout.groups.at(TraySection::alwaysHidden), ids({"x"}));
}

// A clock whose id changes with its title cannot make the layout grow without end: ids of extras
// that are gone make room, default-section ones and the oldest first; ids still seen always stay.
TEST(TrayLayout, ReconcileBoundsTheIdsOfExtrasThatAreGone)
{
    TrayLayout layout;
    layout.groups[TraySection::expandable] = ids({"gone.placed", "placed"});
    for (int minute = 0; minute < 1000; ++minute)
        layout.reconcile(
            {QStringLiteral("clock|%1").arg(minute), QStringLiteral("placed"), QStringLiteral("steady")});
    const QStringList& visible = layout.groups.at(TraySection::alwaysVisible);
    EXPECT_EQ(visible.size() + 2, TrayLayout::maximumStoredIds);
    EXPECT_EQ(visible.at(0), QStringLiteral("steady")) << "still seen, so never dropped";
    EXPECT_EQ(visible.at(1), QStringLiteral("clock|747"));
    EXPECT_EQ(visible.last(), QStringLiteral("clock|999"));
    EXPECT_EQ(layout.groups.at(TraySection::expandable), ids({"gone.placed", "placed"}))
        << "what the user placed outlasts what only arrived by default";

    QStringList crowded;
    for (int i = 0; i < TrayLayout::maximumStoredIds + 50; ++i)
        crowded.append(QStringLiteral("app%1|x").arg(i));
    crowded.append(QStringLiteral("placed"));
    layout.reconcile(crowded);
    EXPECT_EQ(layout.groups.at(TraySection::alwaysVisible), crowded.mid(0, crowded.size() - 1));
    EXPECT_EQ(layout.groups.at(TraySection::expandable), ids({"placed"}));
}
