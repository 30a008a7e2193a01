#pragma once

#import <Foundation/Foundation.h>

// The system version the bridge sees in these tests.
extern NSInteger gBridgeTestSystemMajorVersion;

// What the tests ask of the stand-in framework.
@interface NSObject (FakeFrameworkHooks)
+ (void)fakeReset;
+ (NSArray*)fakeLastItems;
+ (NSArray*)fakeLastIdentifiers;
+ (NSInteger)fakeInvalidations;
+ (NSUInteger)fakePendingCount;
+ (void)fakeAnswerAllWithError:(NSError*)error;
@end
