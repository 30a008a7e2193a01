#include "mac/mac_host.h"

#import "mac/ns_property_list.h"
#include "mac/portable/mac_conventions.h"

#import <Foundation/Foundation.h>

namespace velmor::platform::mac {
namespace {

MainBundle readMainBundle()
{
    NSBundle* bundle = [NSBundle mainBundle];
    const QString path = QString::fromNSString([[bundle bundleURL] path]);
    id infoDictionary = [bundle infoDictionary];
    const auto info = ForeignPropertyList::read<NSPropertyListAccess>(infoDictionary);
    // A binary started outside its bundle (a test run) has no identifier of its own; it then reads
    // the Info.plist this build embeds, which is the one its bundle would carry.
    if (!info || !info->toMap().contains(QStringLiteral("CFBundleIdentifier")))
        return MainBundle::embedded(path);
    return MainBundle(info->toMap(), path);
}

} // namespace

MacHost::MacHost() : m_mainBundle(readMainBundle()) {}

OperatingSystemVersion MacHost::systemVersion() const
{
    const NSOperatingSystemVersion version = [[NSProcessInfo processInfo] operatingSystemVersion];
    return {int(version.majorVersion), int(version.minorVersion), int(version.patchVersion)};
}

quint64 MacHost::physicalMemory() const
{
    return [[NSProcessInfo processInfo] physicalMemory];
}

QString MacHost::homeDirectory() const
{
    return MacConventions::directoryPath(QString::fromNSString(NSHomeDirectory()));
}

QString MacHost::temporaryDirectory() const
{
    return MacConventions::directoryPath(QString::fromNSString(NSTemporaryDirectory()));
}

qint64 MacHost::processId() const
{
    return [[NSProcessInfo processInfo] processIdentifier];
}

} // namespace velmor::platform::mac
