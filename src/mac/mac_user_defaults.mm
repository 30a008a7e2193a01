#include "mac/mac_user_defaults.h"

#import "mac/ns_property_list.h"

#import <Foundation/Foundation.h>

namespace velmor::platform::mac {

QVariant MacUserDefaults::value(const QString& key) const
{
    @autoreleasepool {
        id stored = [[NSUserDefaults standardUserDefaults] objectForKey:key.toNSString()];
        if (stored == nil)
            return {};
        return ForeignPropertyList::read<NSPropertyListAccess>(stored).value_or(QVariant());
    }
}

void MacUserDefaults::setValue(const QString& key, const QVariant& value)
{
    if (!value.isValid()) {
        remove(key);
        return;
    }
    @autoreleasepool {
        NSPropertyListBuilder builder;
        const std::optional<id> object = ForeignPropertyList::write(builder, value);
        if (!object)
            return;
        [[NSUserDefaults standardUserDefaults] setObject:*object forKey:key.toNSString()];
    }
}

void MacUserDefaults::remove(const QString& key)
{
    @autoreleasepool {
        [[NSUserDefaults standardUserDefaults] removeObjectForKey:key.toNSString()];
    }
}

} // namespace velmor::platform::mac
