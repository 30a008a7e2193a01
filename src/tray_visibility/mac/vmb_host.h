// What the visibility bridge asks of the running system, kept apart so that a test can stand in
// for it on another platform.
#import <Foundation/Foundation.h>

// The operating system's major version.
FOUNDATION_EXPORT NSInteger VMBSystemMajorVersion(void);
// Where the private framework's image lives.
FOUNDATION_EXPORT NSString* VMBFrameworkPath(void);
