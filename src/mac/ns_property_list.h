#pragma once

// The Foundation side of the property-list conversion: questions about single objects, answered
// by Foundation, for ForeignPropertyList's decisions.
#include "mac/portable/foreign_property_list.h"

#import <Foundation/Foundation.h>
#include <QByteArray>
#include <QString>

#include <cstring>
#include <utility>
#include <vector>

namespace velmor::platform::mac {

struct NSPropertyListAccess {
    using Kind = ForeignPropertyList::Kind;

    static Kind kind(id value)
    {
        if ([value isKindOfClass:[NSString class]])
            return Kind::String;
        if ([value isKindOfClass:[NSNumber class]]) {
            // Booleans are the CFBoolean singletons, which are NSNumbers too.
            return CFGetTypeID((__bridge CFTypeRef)value) == CFBooleanGetTypeID() ? Kind::Boolean
                                                                                  : Kind::Number;
        }
        if ([value isKindOfClass:[NSDate class]])
            return Kind::Date;
        if ([value isKindOfClass:[NSData class]])
            return Kind::Data;
        if ([value isKindOfClass:[NSArray class]])
            return Kind::Array;
        if ([value isKindOfClass:[NSDictionary class]])
            return Kind::Dictionary;
        return Kind::Other;
    }
    static QString string(id value) { return QString::fromNSString(value); }
    static bool boolean(id value) { return [value boolValue]; }
    static ForeignPropertyList::Number number(id value)
    {
        NSNumber* number = value;
        ForeignPropertyList::Number facts;
        facts.isFloat = CFNumberIsFloatType((__bridge CFNumberRef)number);
        facts.isUnsigned = std::strcmp([number objCType], @encode(unsigned long long)) == 0;
        facts.signedValue = [number longLongValue];
        facts.unsignedValue = [number unsignedLongLongValue];
        facts.realValue = [number doubleValue];
        return facts;
    }
    static double date(id value) { return [value timeIntervalSinceReferenceDate]; }
    static QByteArray data(id value) { return QByteArray::fromNSData(value); }
    template <class F> static void forEachElement(id value, F f)
    {
        NSArray* array = value;
        for (id element in array)
            f(element);
    }
    template <class F> static void forEachEntry(id value, F f)
    {
        NSDictionary* dictionary = value;
        for (id key in dictionary)
            f(key, [dictionary objectForKey:key]);
    }
};

struct NSPropertyListBuilder {
    using Value = id;

    id makeString(const QString& text) { return text.toNSString(); }
    id makeBoolean(bool flag) { return [NSNumber numberWithBool:flag]; }
    id makeInteger(qint64 integer) { return [NSNumber numberWithLongLong:integer]; }
    id makeReal(double real) { return [NSNumber numberWithDouble:real]; }
    id makeDate(double seconds) { return [NSDate dateWithTimeIntervalSinceReferenceDate:seconds]; }
    id makeData(const QByteArray& bytes) { return bytes.toNSData(); }
    id makeArray(std::vector<id> elements)
    {
        NSMutableArray* array = [NSMutableArray arrayWithCapacity:elements.size()];
        for (id element : elements)
            [array addObject:element];
        return array;
    }
    id makeDictionary(std::vector<std::pair<QString, id>> entries)
    {
        NSMutableDictionary* dictionary = [NSMutableDictionary dictionaryWithCapacity:entries.size()];
        for (auto& [key, element] : entries)
            [dictionary setObject:element forKey:key.toNSString()];
        return dictionary;
    }
};

} // namespace velmor::platform::mac
