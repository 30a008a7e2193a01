#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "support/error_case.h"
#include "support/hostile_property_lists.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;
using T = TrayTrackedApplications;
using FailureCase = T::Failure::Case;

namespace {

const T::Executables kRunning{{kA, {QStringLiteral("/Applications/A.app/Contents/MacOS/A")}},
                              {kB, {QStringLiteral("/Applications/B.app/Contents/MacOS/B")}},
                              {kC, {}}};

// A date holding exactly `seconds`, as the Mac writes it.
QByteArray canonicalDate(double seconds)
{
    return T::canonical(PropertyList::decode(binaryDate(seconds)).root().at(0));
}

QList<bool> flags(const QByteArray& list)
{
    QList<bool> result;
    const PropertyList document = PropertyList::decode(list);
    for (int i = 1; i < document.root().count(); i += 2)
        result.append(*document.root().at(i).value(QStringLiteral("isAllowed")).toBool());
    return result;
}

} // namespace

TEST(TrayTrackedApplications, CanonicalFormIsExactAndIndependentOfMemberOrder)
{
    EXPECT_EQ(T::canonical(bundleLocation(QStringLiteral("com.apple.controlcenter")).root()),
              QByteArray("d45:s6:bundled32:s2:_0s23:com.apple.controlcenter"));
    PropertyList forward = PropertyList::dictionary();
    forward.root().setEntry(QStringLiteral("b"), PropertyList::boolean(true));
    forward.root().setEntry(QStringLiteral("a"), PropertyList::integer(-3));
    forward.root().setEntry(QStringLiteral("é"), PropertyList::data(QByteArray("\x00\xff", 2)));
    PropertyList backward = PropertyList::dictionary();
    backward.root().setEntry(QStringLiteral("é"), PropertyList::data(QByteArray("\x00\xff", 2)));
    backward.root().setEntry(QStringLiteral("a"), PropertyList::integer(-3));
    backward.root().setEntry(QStringLiteral("b"), PropertyList::boolean(true));
    EXPECT_EQ(T::canonical(forward.root()), QByteArray("d29:s1:an2:-3s1:bq1:1s2:\xc3\xa9"
                                                       "b4:AP8="));
    EXPECT_EQ(T::canonical(forward.root()), T::canonical(backward.root()));

    EXPECT_EQ(canonicalDate(700000000.0), QByteArray("t11:700000000.0"));
    EXPECT_EQ(canonicalDate(789012345.678901), QByteArray("t16:789012345.678901"));
    EXPECT_EQ(T::canonical(PropertyList::real(1e16).root()), QByteArray("n5:1e+16"));
    EXPECT_EQ(canonicalDate(1.5e-5), QByteArray("t7:1.5e-05"));
    EXPECT_EQ(errorCase<T::Failure>([] { T::canonical(PropertyList::uid(1).root()); }),
              FailureCase::malformed);

    // A key nested deeper than any decoded list can be is refused, not followed down the stack.
    const int limit = PropertyList::maximumDepth;
    const struct {
        bool arrays;
        int levels;
        std::optional<FailureCase> refusal;
    } deepKeys[] = {{false, limit, std::nullopt},
                    {false, limit + 1, FailureCase::malformed},
                    {true, limit, std::nullopt},
                    {true, limit + 1, FailureCase::malformed}};
    for (const auto& key : deepKeys) {
        PropertyList deep = key.arrays ? PropertyList::array() : PropertyList::dictionary();
        for (int i = 1; i < key.levels; ++i) {
            PropertyList outer = key.arrays ? PropertyList::array() : PropertyList::dictionary();
            if (key.arrays)
                outer.root().append(deep);
            else
                outer.root().setEntry(QStringLiteral("_0"), deep);
            deep = outer;
        }
        EXPECT_EQ(errorCase<T::Failure>([&] { T::canonical(deep.root()); }), key.refusal)
            << key.levels << (key.arrays ? " arrays" : " dictionaries");
    }
}

TEST(TrayTrackedApplications, ListsOfAnotherShapeAreRefusedWhole)
{
    const auto refusal = [](const PropertyList& list) {
        return errorCase<T::Failure>([&] { T::applying({kA}, kRunning, kOwn, list.toBinary()); });
    };
    const auto withRow = [](PropertyList key, std::optional<PropertyList> location = {},
                            QList<PropertyList> items = {}) {
        return TrackedList()
            .addBundle(kB)
            .add({std::move(key), true, std::move(location), std::move(items)})
            .document();
    };
    PropertyList odd = TrackedList().addBundle(kA).document();
    odd.root().append(PropertyList::dictionary());
    PropertyList integerFlag = TrackedList().addBundle(kA).document();
    integerFlag.root().at(1).setEntry(QStringLiteral("isAllowed"), PropertyList::integer(1));
    PropertyList noRelative = adhocLocation(QStringLiteral("/x"));
    noRelative.root()
        .value(QStringLiteral("adhocBinary"))
        .value(QStringLiteral("_0"))
        .remove(QStringLiteral("relative"));
    for (const PropertyList& list :
         {odd, integerFlag, PropertyList::dictionary(), withRow(PropertyList::dictionary()),
          withRow(bundleLocation({})), withRow(noRelative),
          withRow(bundleLocation(kA), PropertyList::string(QStringLiteral("x"))),
          withRow(bundleLocation(kA), std::nullopt, {PropertyList::string(QStringLiteral("x"))})})
        EXPECT_EQ(refusal(list), FailureCase::malformed);

    PropertyList reordered = PropertyList::dictionary();
    reordered.root().setEntry(QStringLiteral("x"), PropertyList::integer(1));
    reordered.root().setEntry(QStringLiteral("bundle"),
                              bundleLocation(kA).root().value(QStringLiteral("bundle")).copy());
    PropertyList original = bundleLocation(kA);
    original.root().setEntry(QStringLiteral("x"), PropertyList::integer(1));
    EXPECT_EQ(refusal(TrackedList().add({original, true, {}, {}}).add({reordered, true, {}, {}}).document()),
              FailureCase::duplicateIdentity);
    EXPECT_THROW(T::applying({kA}, kRunning, kOwn, QByteArray("garbage")), SystemError);
}

TEST(TrayTrackedApplications, HidesOnlyRowsEveryOwnerOfWhichIsHiddenAndKeepsEverythingElse)
{
    const QByteArray list =
        TrackedList()
            .addBundle(kA)
            .add({adhocLocation(QStringLiteral("file:///Applications/B.app/Contents/MacOS/./B")),
                  true,
                  {},
                  {}})
            .add({bundleLocation(kC), true, bundleLocation(kA), {}}) // shared with c, which stays
            .add({bundleLocation(kB), true, bundleLocation(QStringLiteral("com.apple.controlcenter")), {}})
            .add({adhocLocation(QStringLiteral("/Applications/A.app/Contents/MacOS/A"), true), true, {}, {}})
            .add({adhocLocation(QStringLiteral("file://host/Applications/B.app/Contents/MacOS/B")),
                  true,
                  {},
                  {}})
            .add({bundleLocation(kOwn), true, bundleLocation(kB), {}})
            .addBundle(QStringLiteral("com.example.gone"), false)
            .toBinary();
    const QSet<QString> hidden{kA, kB, QStringLiteral("com.example.gone")};
    const auto result = T::applying(hidden, kRunning, kOwn, list);

    // a, b through its executable, shared, Apple's, relative to a base, other host, own, already off.
    EXPECT_EQ(flags(result.data), (QList<bool>{false, false, true, true, true, true, true, false}));
    EXPECT_EQ(
        result.changes,
        (QList<T::Change>{
            {QString::fromUtf8(T::canonical(bundleLocation(kA).root())), true, false},
            {QString::fromUtf8(T::canonical(
                 adhocLocation(QStringLiteral("file:///Applications/B.app/Contents/MacOS/./B")).root())),
             true, false}}));
    EXPECT_EQ(result.matchedBundleIDs, (QSet<QString>{kA, kB, kC, QStringLiteral("com.example.gone")}));
    PropertyList expected = PropertyList::decode(list);
    expected.root().at(1).setBool(QStringLiteral("isAllowed"), false);
    expected.root().at(3).setBool(QStringLiteral("isAllowed"), false);
    EXPECT_EQ(PropertyList::decode(result.data), expected) << "only the flags change";

    const auto again = T::applying(hidden, kRunning, kOwn, result.data);
    EXPECT_TRUE(again.changes.isEmpty());
    EXPECT_EQ(again.data, result.data) << "nothing to change hands back the very bytes";
    const QByteArray xml = PropertyList::decode(list).toXml();
    EXPECT_EQ(T::applying({}, kRunning, kOwn, xml).data, xml);

    // With a visible set the menu items alone own a row; a row naming a visible app stays.
    const QByteArray menus = TrackedList()
                                 .add({bundleLocation(kC), true, {}, {bundleLocation(kA)}})
                                 .add({bundleLocation(kA), true, bundleLocation(kB), {}})
                                 .toBinary();
    EXPECT_EQ(flags(T::applying({kA}, kRunning, kOwn, menus, QSet<QString>{kB}).data),
              (QList<bool>{false, true}));
    EXPECT_EQ(T::applying({kA}, kRunning, kOwn, menus).data, menus);
}

TEST(TrayTrackedApplications, RestoringAndVerificationLookOnlyAtTheAppsOwnChanges)
{
    const QByteArray original = TrackedList().addBundle(kA).addBundle(kB).addBundle(kC, false).toBinary();
    const auto hidden = T::applying({kA, kB}, kRunning, kOwn, original);
    EXPECT_EQ(PropertyList::decode(T::restoring(hidden.changes, hidden.data)),
              PropertyList::decode(original));
    EXPECT_EQ(errorCase<T::Failure>([&] {
                  T::restoring({hidden.changes[0], hidden.changes[0]}, hidden.data);
              }),
              FailureCase::duplicateIdentity);

    // The user turned b back on by hand: it stays as it is; with nothing left, the bytes come back.
    const QByteArray userEdited =
        TrackedList().addBundle(kA, false).addBundle(kB).addBundle(kC, false).toBinary();
    EXPECT_EQ(T::restoring({hidden.changes[1], {QStringLiteral("d0:"), true, false}}, userEdited),
              userEdited);
    EXPECT_EQ(flags(T::restoring(hidden.changes, userEdited)), (QList<bool>{true, true, false}));

    // Rows whose flag does not change are not looked at; a changed row must read back as written.
    EXPECT_TRUE(T::verifiesVisibilityChange(original, hidden.data, hidden.data));
    EXPECT_TRUE(T::verifiesVisibilityChange(
        original, hidden.data,
        TrackedList().addBundle(kA, false).addBundle(kB, false).addBundle(kC).toBinary()));
    EXPECT_FALSE(T::verifiesVisibilityChange(original, hidden.data, userEdited));
    EXPECT_FALSE(
        T::verifiesVisibilityChange(original, hidden.data, TrackedList().addBundle(kA, false).toBinary()));

    // One parsed list carries a whole hide. Undoing the app's edits and hiding the same rows again
    // leaves it as read, bytes and all; its check of a read-back matches the one above, also where
    // the bytes differ and must be decoded after all.
    T::List list(hidden.data);
    list.restore(hidden.changes);
    EXPECT_TRUE(list.changed());
    const T::Result again = list.apply({kA, kB}, kRunning, kOwn, std::nullopt);
    EXPECT_FALSE(list.changed());
    EXPECT_EQ(again.data, hidden.data);
    EXPECT_EQ(again.changes, hidden.changes);
    T::List shown(hidden.data);
    shown.restore(hidden.changes);
    EXPECT_TRUE(shown.verifies(hidden.data, shown.data()));
    EXPECT_TRUE(
        shown.verifies(hidden.data, TrackedList().addBundle(kA).addBundle(kB).addBundle(kC).toBinary()))
        << "c is not part of the change";
    EXPECT_FALSE(shown.verifies(hidden.data, hidden.data));
    EXPECT_FALSE(shown.verifies(userEdited, userEdited)) << "a is still off";
    EXPECT_TRUE(shown.verifies(original, userEdited)) << "nothing changes from the original";
}

TEST(TrayTrackedApplications, MenuScanAndPathsNameOwnersUnambiguously)
{
    T::Executables running = kRunning;
    running.insert(QStringLiteral("com.example.twin"),
                   {QStringLiteral("/Applications/B.app/Contents/MacOS/B")});
    running.insert(QStringLiteral("com.apple.finder"), {});
    const QByteArray list =
        TrackedList()
            .add({bundleLocation(kC), true, {}, {bundleLocation(kA)}})
            .add({adhocLocation(QStringLiteral("/Applications/B.app/Contents/MacOS/B")), true, {}, {}})
            .addBundle(QStringLiteral("com.apple.finder"))
            .addBundle(kOwn)
            .toBinary();
    EXPECT_EQ(T::menuBundleIDs(list, running, kOwn), QSet<QString>{kA});

    EXPECT_EQ(T::normalizePath(QStringLiteral("/Applications/./X.app/../Y.app/")),
              QStringLiteral("/Applications/Y.app"));
    EXPECT_EQ(T::normalizePath(QStringLiteral("file://localhost/My%20App.app")),
              QStringLiteral("/My App.app"));
    for (const char* refused : {"file://example.com/X", "https:///X", "Applications/X", ""})
        EXPECT_FALSE(T::normalizePath(QString::fromUtf8(refused))) << refused;
}
