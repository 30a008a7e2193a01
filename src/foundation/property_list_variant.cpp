#include "foundation/property_list_variant.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>

namespace velmor::plist_variant {
namespace {

const QDateTime& referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

} // namespace

QVariant toVariant(PlistNode node)
{
    switch (node.type()) {
    case PlistNode::Type::Dictionary: {
        QVariantMap map;
        node.forEachMember([&](const QString& key, PlistNode value) { map.insert(key, toVariant(value)); });
        return map;
    }
    case PlistNode::Type::Array: {
        QVariantList list;
        const QList<PlistNode> elements = node.elements();
        list.reserve(elements.size());
        for (const PlistNode& element : elements)
            list.append(toVariant(element));
        return list;
    }
    case PlistNode::Type::String:
        return *node.toString();
    case PlistNode::Type::Boolean:
        return *node.toBool();
    case PlistNode::Type::Integer:
        return QVariant::fromValue<qint64>(*node.toInteger());
    case PlistNode::Type::Real:
        return *node.toReal();
    case PlistNode::Type::Date: {
        const double seconds = *node.toDate();
        return referenceDate().addMSecs(static_cast<qint64>(std::llround(seconds * 1000.0)));
    }
    case PlistNode::Type::Data:
        return *node.toData();
    case PlistNode::Type::Uid:
        return QVariant::fromValue<quint64>(*node.toUid());
    case PlistNode::Type::Invalid:
        break;
    }
    return {};
}

std::optional<PropertyList> fromVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return PropertyList::boolean(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return PropertyList::integer(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return PropertyList::real(value.toDouble());
    case QMetaType::QString:
        return PropertyList::string(value.toString());
    case QMetaType::QByteArray:
        return PropertyList::data(value.toByteArray());
    case QMetaType::QDateTime: {
        const qint64 ms = referenceDate().msecsTo(value.toDateTime());
        const qint64 wholeSeconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        return PropertyList::date(static_cast<qint32>(wholeSeconds),
                                  static_cast<qint32>((ms - wholeSeconds * 1000) * 1000));
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        PropertyList array = PropertyList::array();
        for (const QVariant& element : value.toList()) {
            auto converted = fromVariant(element);
            if (!converted)
                return std::nullopt;
            array.root().append(*converted);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        PropertyList dictionary = PropertyList::dictionary();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            auto converted = fromVariant(it.value());
            if (!converted)
                return std::nullopt;
            dictionary.root().setEntry(it.key(), *converted);
        }
        return dictionary;
    }
    default:
        return std::nullopt;
    }
}

} // namespace velmor::plist_variant
