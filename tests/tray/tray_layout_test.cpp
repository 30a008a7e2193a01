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
    EXPECT_EQ(visible.size() + 2, 256);
    EXPECT_EQ(visible.at(0), QStringLiteral("steady")) << "still seen, so never dropped";
    EXPECT_EQ(visible.at(1), QStringLiteral("clock|747"));
    EXPECT_EQ(visible.last(), QStringLiteral("clock|999"));
    EXPECT_EQ(layout.groups.at(TraySection::expandable), ids({"gone.placed", "placed"}))
        << "what the user placed outlasts what only arrived by default";
}

// At 256 ids every gone one stays; at 257 the oldest gone one makes room, one only received by
// default before one the person placed; ids still seen are never dropped, however many.
TEST(TrayLayout, ReconcileKeepsTheLimitOfIdsWholeAndCutsOnePastIt)
{
    const struct {
        const char* name;
        int seen;
        QStringList goneKept;
    } cases[] = {
        {"256 ids", 254, ids({"gone.default", "gone.placed"})},
        {"257 ids", 255, ids({"gone.placed"})},
        {"more seen than 256", 257, {}},
    };
    for (const auto& test : cases) {
        TrayLayout layout;
        layout.groups[TraySection::alwaysVisible] = ids({"gone.default"});
        layout.groups[TraySection::expandable] = ids({"gone.placed"});
        QStringList seen;
        for (int i = 0; i < test.seen; ++i)
            seen.append(QStringLiteral("app%1|x").arg(i));
        layout.reconcile(seen);
        QStringList stored;
        for (const auto& [section, list] : layout.groups)
            stored += list;
        EXPECT_EQ(stored.size(), test.seen + test.goneKept.size()) << test.name;
        QStringList visible = layout.groups.at(TraySection::alwaysVisible);
        visible.removeAll(QStringLiteral("gone.default"));
        EXPECT_EQ(visible, seen) << test.name;
        QStringList gone = stored;
        gone.removeIf([&](const QString& id) { return seen.contains(id); });
        EXPECT_EQ(gone, test.goneKept) << test.name;
    }
}
