#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace velmor::platform::mac {

// Converts between the system's own property-list objects (the Mac's NSString, NSNumber, NSDate,
// NSData, NSArray and NSDictionary) and the app's values (see UserDefaults), so that the Mac
// backend only answers questions about single objects and every decision is made here.
//
// Reading takes an Access type with static members, for a value type Access::Value:
//   ForeignPropertyList::Kind kind(const Value&);
//   QString string(const Value&);  bool boolean(const Value&);
//   ForeignPropertyList::Number number(const Value&);
//   double date(const Value&);     // seconds since 2001-01-01 00:00:00 UTC
//   QByteArray data(const Value&);
//   template <class F> void forEachElement(const Value&, F f);      // f(const Value&)
//   template <class F> void forEachEntry(const Value&, F f);        // f(const Value& key, const Value&)
// Writing takes a Builder object with members returning Builder::Value:
//   makeString(QString), makeBoolean(bool), makeInteger(qint64), makeReal(double),
//   makeDate(double), makeData(QByteArray), makeArray(std::vector<Value>),
//   makeDictionary(std::vector<std::pair<QString, Value>>).
//
// What the app cannot represent, or what is nested deeper than kMaximumDepth, makes the whole
// value unreadable (absent) or unwritable (nothing is written): another process may have written
// the stored value, and the app never half-reads it or writes what it does not understand.
class ForeignPropertyList final {
public:
    enum class Kind { String, Boolean, Number, Date, Data, Array, Dictionary, Other };

    // What the system says about one number object.
    struct Number {
        bool isFloat = false;
        bool isUnsigned = false;
        qint64 signedValue = 0;
        quint64 unsignedValue = 0;
        double realValue = 0;
    };

    static constexpr int kMaximumDepth = 64;

    template <class Access, class Value> static std::optional<QVariant> read(const Value& value)
    {
        return readAt<Access>(value, 0);
    }

    template <class Builder>
    static std::optional<typename Builder::Value> write(Builder& builder, const QVariant& value)
    {
        return writeAt(builder, value, 0);
    }

    // A number as the app holds it: an integer as qint64, a float as double; absent for an
    // unsigned value beyond qint64.
    static std::optional<QVariant> numberValue(const Number& number);
    // Absent for a time that is not finite or lies beyond what a date can hold.
    static std::optional<QDateTime> dateFromReferenceSeconds(double seconds);
    // Absent for an invalid date.
    static std::optional<double> referenceSecondsFromDate(const QDateTime& date);

private:
    template <class Access, class Value> static std::optional<QVariant> readAt(const Value& value, int depth)
    {
        if (depth > kMaximumDepth)
            return std::nullopt;
        switch (Access::kind(value)) {
        case Kind::String:
            return QVariant(Access::string(value));
        case Kind::Boolean:
            return QVariant(Access::boolean(value));
        case Kind::Number:
            return numberValue(Access::number(value));
        case Kind::Date: {
            const auto date = dateFromReferenceSeconds(Access::date(value));
            if (!date)
                return std::nullopt;
            return QVariant(*date);
        }
        case Kind::Data:
            return QVariant(Access::data(value));
        case Kind::Array: {
            QVariantList list;
            bool readable = true;
            Access::forEachElement(value, [&](const Value& element) {
                if (!readable)
                    return;
                auto converted = readAt<Access>(element, depth + 1);
                if (!converted)
                    readable = false;
                else
                    list.append(std::move(*converted));
            });
            if (!readable)
                return std::nullopt;
            return QVariant(list);
        }
        case Kind::Dictionary: {
            QVariantMap map;
            bool readable = true;
            Access::forEachEntry(value, [&](const Value& key, const Value& entry) {
                if (!readable)
                    return;
                if (Access::kind(key) != Kind::String) {
                    readable = false;
                    return;
                }
                auto converted = readAt<Access>(entry, depth + 1);
                if (!converted)
                    readable = false;
                else
                    map.insert(Access::string(key), std::move(*converted));
            });
            if (!readable)
                return std::nullopt;
            return QVariant(map);
        }
        case Kind::Other:
            break;
        }
        return std::nullopt;
    }

    template <class Builder>
    static std::optional<typename Builder::Value> writeAt(Builder& builder, const QVariant& value, int depth)
    {
        using Value = typename Builder::Value;
        if (depth > kMaximumDepth)
            return std::nullopt;
        switch (value.typeId()) {
        case QMetaType::Bool:
            return builder.makeBoolean(value.toBool());
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
            return builder.makeInteger(value.toLongLong());
        case QMetaType::ULongLong:
        case QMetaType::ULong: {
            const quint64 unsignedValue = value.toULongLong();
            if (unsignedValue > quint64(std::numeric_limits<qint64>::max()))
                return std::nullopt;
            return builder.makeInteger(qint64(unsignedValue));
        }
        case QMetaType::Double:
        case QMetaType::Float:
            return builder.makeReal(value.toDouble());
        case QMetaType::QString:
            return builder.makeString(value.toString());
        case QMetaType::QByteArray:
            return builder.makeData(value.toByteArray());
        case QMetaType::QDateTime: {
            const auto seconds = referenceSecondsFromDate(value.toDateTime());
            if (!seconds)
                return std::nullopt;
            return builder.makeDate(*seconds);
        }
        case QMetaType::QStringList:
        case QMetaType::QVariantList: {
            std::vector<Value> elements;
            for (const QVariant& element : value.toList()) {
                auto converted = writeAt(builder, element, depth + 1);
                if (!converted)
                    return std::nullopt;
                elements.push_back(std::move(*converted));
            }
            return builder.makeArray(std::move(elements));
        }
        case QMetaType::QVariantMap: {
            std::vector<std::pair<QString, Value>> entries;
            const QVariantMap map = value.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                auto converted = writeAt(builder, it.value(), depth + 1);
                if (!converted)
                    return std::nullopt;
                entries.emplace_back(it.key(), std::move(*converted));
            }
            return builder.makeDictionary(std::move(entries));
        }
        default:
            return std::nullopt;
        }
    }
};

} // namespace velmor::platform::mac
