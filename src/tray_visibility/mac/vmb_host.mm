#import "tray_visibility/mac/vmb_host.h"

namespace {

NSString* const kFrameworkPath =
    @"/System/Library/PrivateFrameworks/MenuBarClientCore.framework/MenuBarClientCore";

} // namespace

NSInteger VMBSystemMajorVersion(void)
{
    return [[NSProcessInfo processInfo] operatingSystemVersion].majorVersion;
}

NSString* VMBFrameworkPath(void)
{
    return kFrameworkPath;
}
