#import "bridge_test_host.h"
#include "platform/manual_scheduler.h"
#import "tray_visibility/mac/vmb_visibility_bridge.h"
#include "tray_visibility/native_visibility_backend.h"
#include "tray_visibility/tray_visibility_session.h"

#include <gtest/gtest.h>

using namespace velmor;

// A Mac without the private framework: the app runs on and never asks for the service.
TEST(VisibilityBridgeWithoutFrameworkTest, TheServiceIsUnavailableAndNothingIsAsked)
{
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    gBridgeTestSystemMajorVersion = 27;
    EXPECT_FALSE([VMBVisibilityBridge isAvailable]);
    EXPECT_EQ(NSClassFromString(@"MBAssessmentModeAssertion"), Nil);

    __block int completions = 0;
    id token =
        [VMBVisibilityBridge activateWithAllowedBundleIdentifiers:[NSArray arrayWithObject:@"com.example"]
                                                       completion:^(NSError*) {
                                                         ++completions;
                                                       }];
    EXPECT_EQ(token, nil);
    EXPECT_EQ(completions, 0);

    platform::ManualScheduler scheduler;
    TrayVisibilitySession session(scheduler, std::make_shared<NativeVisibilityBackend>(), 3.0);
    EXPECT_FALSE(session.isAvailable());
    QList<std::optional<TrayVisibilityFailure>> answers;
    session.apply({"com.example.hidden"}, {"com.example.hidden"}, "local.velmor.tray",
                  [&](std::optional<TrayVisibilityFailure> failure) { answers.append(failure); });
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers.first(), TrayVisibilityFailure(TrayVisibilityError::Case::unavailable));
    [pool drain];
}
