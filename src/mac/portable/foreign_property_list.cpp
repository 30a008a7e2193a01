#include "mac/portable/foreign_property_list.h"

#include <QTimeZone>

#include <cmath>
#include <limits>

namespace velmor::platform::mac {
namespace {

const QDateTime& referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

// About 3 million years either way: far beyond any date a person stores, and far inside what a
// millisecond count and QDateTime hold.
constexpr double kLargestReferenceSeconds = 1e14;

} // namespace

std::optional<QVariant> ForeignPropertyList::numberValue(const Number& number)
{
    if (number.isFloat)
        return QVariant(number.realValue);
    if (!number.isUnsigned)
        return QVariant::fromValue<qint64>(number.signedValue);
    if (number.unsignedValue > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return QVariant::fromValue<qint64>(qint64(number.unsignedValue));
}

std::optional<QDateTime> ForeignPropertyList::dateFromReferenceSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLargestReferenceSeconds)
        return std::nullopt;
    return referenceDate().addMSecs(std::llround(seconds * 1000.0));
}

std::optional<double> ForeignPropertyList::referenceSecondsFromDate(const QDateTime& date)
{
    if (!date.isValid())
        return std::nullopt;
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

} // namespace velmor::platform::mac
