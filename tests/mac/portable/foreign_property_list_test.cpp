#include "mac/portable/foreign_property_list.h"

#include <QPointF>
#include <QTimeZone>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmor::platform;
using namespace velmor::platform::mac;
using Kind = ForeignPropertyList::Kind;

namespace {

// A stand-in for the system's property-list objects.
struct FakeValue {
    Kind kind = Kind::Other;
    QString text{};
    bool flag = false;
    ForeignPropertyList::Number number{};
    double date = 0;
    QByteArray bytes{};
    std::vector<FakeValue> elements{};
    std::vector<FakeValue> keys{}; // dictionaries: keys[i] maps to elements[i]
};

struct FakeAccess {
    static Kind kind(const FakeValue& v) { return v.kind; }
    static QString string(const FakeValue& v) { return v.text; }
    static bool boolean(const FakeValue& v) { return v.flag; }
    static ForeignPropertyList::Number number(const FakeValue& v) { return v.number; }
    static double date(const FakeValue& v) { return v.date; }
    static QByteArray data(const FakeValue& v) { return v.bytes; }
    template <class F> static void forEachElement(const FakeValue& v, F f)
    {
        for (const FakeValue& element : v.elements)
            f(element);
    }
    template <class F> static void forEachEntry(const FakeValue& v, F f)
    {
        for (std::size_t i = 0; i < v.keys.size(); ++i)
            f(v.keys[i], v.elements[i]);
    }
};

struct FakeBuilder {
    using Value = FakeValue;
    FakeValue makeString(QString s) { return {.kind = Kind::String, .text = std::move(s)}; }
    FakeValue makeBoolean(bool b) { return {.kind = Kind::Boolean, .flag = b}; }
    FakeValue makeInteger(qint64 i) { return {.kind = Kind::Number, .number = {.signedValue = i}}; }
    FakeValue makeReal(double d)
    {
        return {.kind = Kind::Number, .number = {.isFloat = true, .realValue = d}};
    }
    FakeValue makeDate(double seconds) { return {.kind = Kind::Date, .date = seconds}; }
    FakeValue makeData(QByteArray bytes) { return {.kind = Kind::Data, .bytes = std::move(bytes)}; }
    FakeValue makeArray(std::vector<FakeValue> elements)
    {
        return {.kind = Kind::Array, .elements = std::move(elements)};
    }
    FakeValue makeDictionary(std::vector<std::pair<QString, FakeValue>> entries)
    {
        FakeValue v{.kind = Kind::Dictionary};
        for (auto& [key, value] : entries) {
            v.keys.push_back(makeString(key));
            v.elements.push_back(std::move(value));
        }
        return v;
    }
};

std::optional<QVariant> read(const FakeValue& value)
{
    return ForeignPropertyList::read<FakeAccess>(value);
}

std::optional<FakeValue> write(const QVariant& value)
{
    FakeBuilder builder;
    return ForeignPropertyList::write(builder, value);
}

FakeValue nested(Kind kind, int depth, FakeValue leaf)
{
    FakeValue value = std::move(leaf);
    FakeBuilder builder;
    for (int i = 0; i < depth; ++i)
        value = kind == Kind::Array ? builder.makeArray({value}) : builder.makeDictionary({{"k", value}});
    return value;
}

} // namespace

TEST(ForeignPropertyListTest, EveryKindSurvivesAWriteAndARead)
{
    const QVariantMap original{
        {"flag", true},
        {"count", QVariant::fromValue<qint64>(-7)},
        {"large", QVariant::fromValue<qint64>(std::numeric_limits<qint64>::max())},
        {"ratio", 0.25},
        {"name", QStringLiteral("Velmor — ✓")},
        {"bytes", QByteArray("\0\x01\xff", 3)},
        {"when", QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59, 500), QTimeZone::utc())},
        {"list", QVariantList{false, QVariantMap{{"inner", QStringLiteral("x")}}}},
    };
    const auto written = write(original);
    ASSERT_TRUE(written);
    const auto back = read(*written);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, QVariant(original));
    // A Boolean must never come back as the number 1, nor a number as a Boolean.
    EXPECT_EQ(back->toMap().value("flag").typeId(), QMetaType::Bool);
    EXPECT_EQ(back->toMap().value("count").typeId(), QMetaType::LongLong);
    EXPECT_EQ(back->toMap().value("when").toDateTime().toMSecsSinceEpoch(),
              original.value("when").toDateTime().toMSecsSinceEpoch())
        << "a date before the reference date keeps its fraction";
}

TEST(ForeignPropertyListTest, AValueWithAnythingUnreadableAnywhereIsAbsentAsAWhole)
{
    FakeBuilder builder;
    const FakeValue hugeUnsigned{
        .kind = Kind::Number,
        .number = {.isUnsigned = true, .unsignedValue = std::numeric_limits<quint64>::max()}};
    FakeValue farDate = builder.makeDate(1e300);
    FakeValue notADate = builder.makeDate(std::nan(""));
    const FakeValue unknown;
    FakeValue numberKeyed = builder.makeDictionary({});
    numberKeyed.keys.push_back(builder.makeInteger(1));
    numberKeyed.elements.push_back(builder.makeString("value"));

    for (const FakeValue& bad : {hugeUnsigned, farDate, notADate, unknown, numberKeyed}) {
        EXPECT_FALSE(read(bad));
        EXPECT_FALSE(read(builder.makeArray({builder.makeString("fine"), bad})));
        EXPECT_FALSE(read(builder.makeDictionary({{"fine", builder.makeInteger(1)}, {"bad", bad}})));
    }

    const FakeValue smallUnsigned{.kind = Kind::Number, .number = {.isUnsigned = true, .unsignedValue = 42}};
    EXPECT_EQ(read(smallUnsigned), QVariant::fromValue<qint64>(42));
}

// A value whose leaf lies exactly kMaximumDepth containers down is read and written whole; one
// container more makes the whole value absent, in either direction and for either container.
TEST(ForeignPropertyListTest, NestingIsBoundedBothWays)
{
    FakeBuilder builder;
    const FakeValue leaf = builder.makeString("deep");
    const auto nestedValue = [](Kind kind, int levels) {
        QVariant value = QStringLiteral("deep");
        for (int i = 0; i < levels; ++i)
            value = kind == Kind::Array ? QVariant(QVariantList{value}) : QVariant(QVariantMap{{"k", value}});
        return value;
    };
    const int limit = ForeignPropertyList::kMaximumDepth;
    for (const Kind kind : {Kind::Array, Kind::Dictionary}) {
        for (const int levels : {limit, limit + 1}) {
            SCOPED_TRACE(testing::Message() << (kind == Kind::Array ? "arrays " : "dictionaries ") << levels);
            const bool within = levels <= limit;
            const auto readBack = read(nested(kind, levels, leaf));
            EXPECT_EQ(readBack.has_value(), within);
            if (readBack) {
                EXPECT_EQ(*readBack, nestedValue(kind, levels));
            }
            const auto written = write(nestedValue(kind, levels));
            EXPECT_EQ(written.has_value(), within);
            if (written) {
                EXPECT_EQ(read(*written), nestedValue(kind, levels));
            }
        }
    }
}

TEST(ForeignPropertyListTest, NothingIsWrittenThatAPropertyListCannotHold)
{
    EXPECT_FALSE(write(QVariant()));
    EXPECT_FALSE(write(QPointF(1, 2)));
    EXPECT_FALSE(write(QVariantMap{{"ok", 1}, {"link", QUrl("https://example.org")}}));
    EXPECT_FALSE(write(QVariant::fromValue<quint64>(quint64(std::numeric_limits<qint64>::max()) + 1)));
    EXPECT_FALSE(write(QDateTime()));

    const auto list = write(QStringList{"a", "b"});
    ASSERT_TRUE(list);
    EXPECT_EQ(read(*list), QVariant(QVariantList{"a", "b"}));
    const auto unsignedSmall = write(QVariant::fromValue<quint64>(5));
    ASSERT_TRUE(unsignedSmall);
    EXPECT_EQ(read(*unsignedSmall), QVariant::fromValue<qint64>(5));
}
