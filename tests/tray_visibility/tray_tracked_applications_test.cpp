#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace velmor;
using namespace velmor::test;
using Failure = TrayTrackedApplications::Failure;

namespace {

const QString kOwn = QStringLiteral("local.velmor.tray");

template <class Operation> std::optional<Failure::Case> failureOf(Operation operation)
{
    try {
        operation();
    } catch (const Failure& failure) {
        return failure.kind();
    }
    return std::nullopt;
}

// A one-object binary list holding a date with the exact double, as the Mac writes it.
PropertyList exactDate(double seconds)
{
    QByteArray bytes("bplist00");
    bytes.append(char(0x33));
    quint64 bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes.append(char((bits >> shift) & 0xff));
    bytes.append(char(8));
    const char trailer[32] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17};
    bytes.append(trailer, 32);
    return PropertyList::decode(bytes);
}

QByteArray canonicalOf(const PropertyList& value)
{
    return TrayTrackedApplications::canonical(value.root());
}

const TrayTrackedApplications::Executables kRunning{
    {QStringLiteral("com.example.a"), {QStringLiteral("/Applications/A.app/Contents/MacOS/A")}},
    {QStringLiteral("com.example.b"), {QStringLiteral("/Applications/B.app/Contents/MacOS/B")}},
    {QStringLiteral("com.example.c"), {}},
};

} // namespace

TEST(TrayTrackedApplications, CanonicalFormIsExactAndIndependentOfMemberOrder)
{
    EXPECT_EQ(canonicalOf(bundleLocation(QStringLiteral("com.apple.controlcenter"))),
              QByteArray("d45:s6:bundled32:s2:_0s23:com.apple.controlcenter"));

    PropertyList forward = PropertyList::dictionary();
    forward.root().setEntry(QStringLiteral("b"), PropertyList::boolean(true));
    forward.root().setEntry(QStringLiteral("a"), PropertyList::integer(-3));
    forward.root().setEntry(QStringLiteral("é"), PropertyList::data(QByteArray("\x00\xff", 2)));
    PropertyList backward = PropertyList::dictionary();
    backward.root().setEntry(QStringLiteral("é"), PropertyList::data(QByteArray("\x00\xff", 2)));
    backward.root().setEntry(QStringLiteral("a"), PropertyList::integer(-3));
    backward.root().setEntry(QStringLiteral("b"), PropertyList::boolean(true));
    EXPECT_EQ(canonicalOf(forward), canonicalOf(backward));
    EXPECT_EQ(canonicalOf(forward), QByteArray("d29:s1:an2:-3s1:bq1:1s2:\xc3\xa9"
                                               "b4:AP8="));

    EXPECT_EQ(canonicalOf(exactDate(700000000.0)), QByteArray("t11:700000000.0"));
    EXPECT_EQ(canonicalOf(exactDate(789012345.678901)), QByteArray("t16:789012345.678901"));
    EXPECT_EQ(canonicalOf(exactDate(1e300)), QByteArray("t6:1e+300"));
    EXPECT_EQ(canonicalOf(exactDate(1e16)), QByteArray("t5:1e+16"));
    EXPECT_EQ(canonicalOf(exactDate(-1e15)), QByteArray("t19:-1000000000000000.0"));
    EXPECT_EQ(canonicalOf(exactDate(0.0001)), QByteArray("t6:0.0001"));
    EXPECT_EQ(canonicalOf(exactDate(1.5e-5)), QByteArray("t7:1.5e-05"));
    EXPECT_EQ(canonicalOf(exactDate(0.0)), QByteArray("t3:0.0"));
    EXPECT_EQ(canonicalOf(PropertyList::real(0.1)), QByteArray("n3:0.1"));
    EXPECT_NE(canonicalOf(PropertyList::boolean(true)), canonicalOf(PropertyList::integer(1)));
    EXPECT_EQ(failureOf([] { canonicalOf(PropertyList::uid(1)); }), Failure::Case::malformed);
}

TEST(TrayTrackedApplications, RefusesListsOfTheWrongShapeBeforeChangingAnything)
{
    const auto applyTo = [](const QByteArray& list) {
        return failureOf([&] {
            TrayTrackedApplications::applying({QStringLiteral("com.example.a")}, kRunning, kOwn, list);
        });
    };
    PropertyList odd = TrackedList().addBundle(QStringLiteral("com.example.a")).document();
    odd.root().append(PropertyList::dictionary());
    EXPECT_EQ(applyTo(odd.toBinary()), Failure::Case::malformed);

    PropertyList integerFlag = TrackedList().addBundle(QStringLiteral("com.example.a")).document();
    integerFlag.root().at(1).setEntry(QStringLiteral("isAllowed"), PropertyList::integer(1));
    EXPECT_EQ(applyTo(integerFlag.toBinary()), Failure::Case::malformed);

    PropertyList emptyKey =
        TrackedList().add({PropertyList::dictionary(), true, std::nullopt, {}}).document();
    EXPECT_EQ(applyTo(emptyKey.toBinary()), Failure::Case::malformed);

    EXPECT_EQ(applyTo(TrackedList().addBundle(QString()).toBinary()), Failure::Case::malformed);
    PropertyList noRelative = adhocLocation(QStringLiteral("/x"));
    noRelative.root()
        .value(QStringLiteral("adhocBinary"))
        .value(QStringLiteral("_0"))
        .remove(QStringLiteral("relative"));
    noRelative.root()
        .value(QStringLiteral("adhocBinary"))
        .value(QStringLiteral("_0"))
        .setBool(QStringLiteral("x"), true);
    EXPECT_EQ(applyTo(TrackedList().add({noRelative, true, std::nullopt, {}}).toBinary()),
              Failure::Case::malformed);
    EXPECT_EQ(applyTo(TrackedList()
                          .add({bundleLocation(QStringLiteral("com.example.a")),
                                true,
                                PropertyList::string(QStringLiteral("not a location")),
                                {}})
                          .toBinary()),
              Failure::Case::malformed);
    EXPECT_EQ(applyTo(TrackedList()
                          .add({bundleLocation(QStringLiteral("com.example.a")),
                                true,
                                std::nullopt,
                                {PropertyList::string(QStringLiteral("x"))}})
                          .toBinary()),
              Failure::Case::malformed);
    EXPECT_EQ(applyTo(PropertyList::dictionary().toBinary()), Failure::Case::malformed);

    PropertyList reordered = PropertyList::dictionary();
    reordered.root().setEntry(QStringLiteral("extra"), PropertyList::string(QStringLiteral("x")));
    reordered.root().setEntry(
        QStringLiteral("bundle"),
        bundleLocation(QStringLiteral("com.example.a")).root().value(QStringLiteral("bundle")).copy());
    PropertyList original = bundleLocation(QStringLiteral("com.example.a"));
    original.root().setEntry(QStringLiteral("extra"), PropertyList::string(QStringLiteral("x")));
    EXPECT_EQ(applyTo(TrackedList()
                          .add({original, true, std::nullopt, {}})
                          .add({reordered, true, std::nullopt, {}})
                          .toBinary()),
              Failure::Case::duplicateIdentity);

    EXPECT_THROW(applyTo(QByteArray("garbage")), SystemError);
}

TEST(TrayTrackedApplications, HidesOnlyRowsEveryOwnerOfWhichIsHidden)
{
    const QByteArray list =
        TrackedList()
            .addBundle(QStringLiteral("com.example.a"))
            .add({adhocLocation(QStringLiteral("file:///Applications/B.app/Contents/MacOS/./B")),
                  true,
                  std::nullopt,
                  {}})
            .add({bundleLocation(QStringLiteral("com.example.c")),
                  true,
                  bundleLocation(QStringLiteral("com.example.a")),
                  {}}) // shared with a running app we keep
            .add({bundleLocation(QStringLiteral("com.example.b")),
                  true,
                  bundleLocation(QStringLiteral("com.apple.controlcenter")),
                  {}}) // protected
            .add({adhocLocation(QStringLiteral("/Applications/A.app/Contents/MacOS/A"), true),
                  true,
                  std::nullopt,
                  {}})
            .add({adhocLocation(QStringLiteral("file://server/Applications/B.app/Contents/MacOS/B")),
                  true,
                  std::nullopt,
                  {}})
            .add({bundleLocation(kOwn), true, bundleLocation(QStringLiteral("com.example.b")), {}})
            .addBundle(QStringLiteral("com.example.gone"))
            .toBinary();
    const QSet<QString> hidden{QStringLiteral("com.example.a"), QStringLiteral("com.example.b"),
                               QStringLiteral("com.example.gone")};
    const auto result = TrayTrackedApplications::applying(hidden, kRunning, kOwn, list);

    ASSERT_EQ(result.changes.size(), 3);
    EXPECT_EQ(result.changes[0].rowID,
              QString::fromUtf8(canonicalOf(bundleLocation(QStringLiteral("com.example.a")))));
    EXPECT_FALSE(result.changes[0].applied);
    EXPECT_TRUE(result.changes[0].original);
    const PropertyList after = PropertyList::decode(result.data);
    const QList<bool> flags = [&] {
        QList<bool> values;
        for (int i = 1; i < after.root().count(); i += 2)
            values.append(*after.root().at(i).value(QStringLiteral("isAllowed")).toBool());
        return values;
    }();
    // Rows: a, b through its executable, shared with c, protected, based, foreign host, own, gone.
    EXPECT_EQ(flags, (QList<bool>{false, false, true, true, true, true, true, false}));
    EXPECT_EQ(result.matchedBundleIDs,
              (QSet<QString>{QStringLiteral("com.example.a"), QStringLiteral("com.example.b"),
                             QStringLiteral("com.example.c"), QStringLiteral("com.example.gone")}));

    // Everything but the flags survives, types included.
    PropertyList expected = PropertyList::decode(list);
    for (int row : {1, 3, 15})
        expected.root().at(row).setBool(QStringLiteral("isAllowed"), false);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(after.root().at(1).value(QStringLiteral("lastSeen")).toInteger(), -5);

    // The same request again changes nothing and hands back the very bytes it was given.
    const auto again = TrayTrackedApplications::applying(hidden, kRunning, kOwn, result.data);
    EXPECT_TRUE(again.changes.isEmpty());
    EXPECT_EQ(again.data, result.data);
    const QByteArray xml = PropertyList::decode(list).toXml();
    EXPECT_EQ(TrayTrackedApplications::applying({}, kRunning, kOwn, xml).data, xml);
    const auto empty =
        TrayTrackedApplications::applying(hidden, kRunning, kOwn, PropertyList::array().toBinary());
    EXPECT_TRUE(empty.changes.isEmpty() && empty.matchedBundleIDs.isEmpty());
}

TEST(TrayTrackedApplications, VisibleAppsKeepSharedRowsAndMenuItemsDecideOwnership)
{
    const QByteArray list = TrackedList()
                                .add({bundleLocation(QStringLiteral("com.example.helper")),
                                      true,
                                      std::nullopt,
                                      {bundleLocation(QStringLiteral("com.example.a"))}})
                                .add({bundleLocation(QStringLiteral("com.example.a")),
                                      true,
                                      bundleLocation(QStringLiteral("com.example.b")),
                                      {}})
                                .toBinary();
    TrayTrackedApplications::Executables running = kRunning;
    running.insert(QStringLiteral("com.example.helper"), {});
    const QSet<QString> hidden{QStringLiteral("com.example.a")};
    const QSet<QString> visible{QStringLiteral("com.example.b")};

    // With a visible set the menu items alone own the helper's row; the second row names a visible app.
    const auto withVisible = TrayTrackedApplications::applying(hidden, running, kOwn, list, visible);
    EXPECT_EQ(withVisible.changes.size(), 1);
    EXPECT_EQ(allowedOf(withVisible.data, QStringLiteral("com.example.helper")), false);
    EXPECT_EQ(allowedOf(withVisible.data, QStringLiteral("com.example.a")), true);

    // Without one, the running helper is an owner that is not being hidden.
    const auto without = TrayTrackedApplications::applying(hidden, running, kOwn, list);
    EXPECT_TRUE(without.changes.isEmpty());
    EXPECT_EQ(without.data, list);
}

TEST(TrayTrackedApplications, RestoringPutsBackOnlyWhatStillHoldsTheAppsValue)
{
    const QByteArray original = TrackedList()
                                    .addBundle(QStringLiteral("com.example.a"))
                                    .addBundle(QStringLiteral("com.example.b"))
                                    .addBundle(QStringLiteral("com.example.c"), false)
                                    .toBinary();
    const auto hidden = TrayTrackedApplications::applying(
        {QStringLiteral("com.example.a"), QStringLiteral("com.example.b")}, kRunning, kOwn, original);
    ASSERT_EQ(hidden.changes.size(), 2);

    EXPECT_EQ(PropertyList::decode(TrayTrackedApplications::restoring(hidden.changes, hidden.data)),
              PropertyList::decode(original));

    // The user turned b back on by hand: it is left alone, and with nothing else to do the bytes come back.
    PropertyList edited = PropertyList::decode(hidden.data);
    edited.root().at(3).setBool(QStringLiteral("isAllowed"), true);
    const QList<TrayTrackedApplications::Change> onlyB{hidden.changes[1],
                                                       {QStringLiteral("d0:"), true, false}};
    const QByteArray userEdited = edited.toBinary();
    EXPECT_EQ(TrayTrackedApplications::restoring(onlyB, userEdited), userEdited);
    EXPECT_EQ(allowedOf(TrayTrackedApplications::restoring(hidden.changes, userEdited),
                        QStringLiteral("com.example.a")),
              true);

    EXPECT_EQ(failureOf([&] {
                  TrayTrackedApplications::restoring({hidden.changes[0], hidden.changes[0]}, hidden.data);
              }),
              Failure::Case::duplicateIdentity);
}

TEST(TrayTrackedApplications, VerificationLooksOnlyAtRowsThatChange)
{
    const QByteArray from = TrackedList()
                                .addBundle(QStringLiteral("com.example.a"))
                                .addBundle(QStringLiteral("com.example.b"))
                                .toBinary();
    const QByteArray to = TrackedList()
                              .addBundle(QStringLiteral("com.example.a"), false)
                              .addBundle(QStringLiteral("com.example.b"))
                              .toBinary();
    const QByteArray bChangedToo = TrackedList()
                                       .addBundle(QStringLiteral("com.example.a"), false)
                                       .addBundle(QStringLiteral("com.example.b"), false)
                                       .toBinary();
    EXPECT_TRUE(TrayTrackedApplications::verifiesVisibilityChange(from, to, to));
    EXPECT_TRUE(TrayTrackedApplications::verifiesVisibilityChange(from, to, bChangedToo));
    EXPECT_FALSE(TrayTrackedApplications::verifiesVisibilityChange(from, to, from));
    EXPECT_FALSE(TrayTrackedApplications::verifiesVisibilityChange(
        from, to, TrackedList().addBundle(QStringLiteral("com.example.b")).toBinary()));
}

TEST(TrayTrackedApplications, MenuBundleScanNamesRunningOwnersUnambiguously)
{
    TrayTrackedApplications::Executables running = kRunning;
    running.insert(QStringLiteral("com.example.twin"),
                   {QStringLiteral("/Applications/B.app/Contents/MacOS/B")});
    running.insert(QStringLiteral("com.apple.finder"), {});
    running.insert(kOwn, {});
    const QByteArray list = TrackedList()
                                .add({bundleLocation(QStringLiteral("com.example.c")),
                                      true,
                                      std::nullopt,
                                      {bundleLocation(QStringLiteral("com.example.a"))}})
                                .add({adhocLocation(QStringLiteral("/Applications/B.app/Contents/MacOS/B")),
                                      true,
                                      std::nullopt,
                                      {}})
                                .addBundle(QStringLiteral("com.apple.finder"))
                                .addBundle(kOwn)
                                .addBundle(QStringLiteral("com.example.stopped"))
                                .toBinary();
    EXPECT_EQ(TrayTrackedApplications::menuBundleIDs(list, running, kOwn),
              QSet<QString>{QStringLiteral("com.example.a")});
}

TEST(TrayTrackedApplications, NormalizesAbsolutePathsAndLocalFileUrlsOnly)
{
    using T = TrayTrackedApplications;
    EXPECT_EQ(T::normalizePath(QStringLiteral("/Applications/./X.app/../Y.app/")),
              QStringLiteral("/Applications/Y.app"));
    EXPECT_EQ(T::normalizePath(QStringLiteral("file:///Applications/My%20App.app")),
              QStringLiteral("/Applications/My App.app"));
    EXPECT_EQ(T::normalizePath(QStringLiteral("file://localhost/Applications/X")),
              QStringLiteral("/Applications/X"));
    EXPECT_FALSE(T::normalizePath(QStringLiteral("file://example.com/Applications/X")));
    EXPECT_FALSE(T::normalizePath(QStringLiteral("https:///Applications/X")));
    EXPECT_FALSE(T::normalizePath(QStringLiteral("Applications/X")));
    EXPECT_FALSE(T::normalizePath(QString()));
}
