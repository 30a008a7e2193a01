// The running system as the visibility bridge sees it in these tests: a version the test sets,
// and the stand-in framework's image (or a path where there is none).
#import "bridge_test_host.h"

#import "tray_visibility/mac/vmb_host.h"

NSInteger gBridgeTestSystemMajorVersion = 27;

NSInteger VMBSystemMajorVersion(void)
{
    return gBridgeTestSystemMajorVersion;
}

NSString* VMBFrameworkPath(void)
{
    return @VELMOR_TEST_FRAMEWORK_PATH;
}
