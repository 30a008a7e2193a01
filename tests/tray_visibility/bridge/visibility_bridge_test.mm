#import "bridge_test_host.h"
#include "platform/manual_scheduler.h"
#import "tray_visibility/mac/vmb_visibility_bridge.h"
#include "tray_visibility/native_visibility_backend.h"
#include "tray_visibility/tray_visibility_session.h"

#include <gtest/gtest.h>

#include <memory>

using namespace velmor;

namespace {

const QString kOwn = QStringLiteral("local.velmor.tray");

id fakeAssertionClass()
{
    return NSClassFromString(@"MBAssessmentModeAssertion");
}

class VisibilityBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gBridgeTestSystemMajorVersion = 27;
        ASSERT_TRUE([VMBVisibilityBridge isAvailable]) << "the stand-in framework must load";
        [fakeAssertionClass() fakeReset];
    }
    void TearDown() override { [m_pool drain]; }

    std::unique_ptr<TrayVisibilitySession> session()
    {
        return std::make_unique<TrayVisibilitySession>(m_scheduler,
                                                       std::make_shared<NativeVisibilityBackend>(), 3.0);
    }

    NSInteger invalidations() const { return [fakeAssertionClass() fakeInvalidations]; }

    platform::ManualScheduler m_scheduler;
    NSAutoreleasePool* m_pool = [[NSAutoreleasePool alloc] init];
    QList<std::optional<TrayVisibilityFailure>> m_answers;
    TrayVisibilityCompletion record()
    {
        return [this](std::optional<TrayVisibilityFailure> failure) { m_answers.append(failure); };
    }
};

} // namespace

TEST_F(VisibilityBridgeTest, ServiceIsAvailableOnlyFromMacOS27)
{
    EXPECT_TRUE(NativeVisibilityBackend().isAvailable());
    gBridgeTestSystemMajorVersion = 26;
    EXPECT_FALSE([VMBVisibilityBridge isAvailable]) << "macOS 26 even where the framework exists";
    EXPECT_FALSE(NativeVisibilityBackend().isAvailable());

    auto visibility = session();
    visibility->apply({"com.example.hidden"}, {"com.example.hidden"}, kOwn, record());
    ASSERT_EQ(m_answers.size(), 1);
    EXPECT_EQ(m_answers.first(), TrayVisibilityFailure(TrayVisibilityError::Case::unavailable));
    EXPECT_EQ([fakeAssertionClass() fakeLastItems], nil) << "nothing was asked of the framework";
}

TEST_F(VisibilityBridgeTest, AConfirmedRequestAllowsEverySystemItemAndTheSortedAppsUntilReleased)
{
    auto visibility = session();
    visibility->apply({"com.example.hidden"},
                      {"com.example.hidden", "org.zeta", "com.apple.Safari", "net.alpha"}, kOwn, record());

    NSArray* items = [fakeAssertionClass() fakeLastItems];
    ASSERT_EQ([items count], 256u);
    EXPECT_EQ([[items objectAtIndex:0] intValue], 0);
    EXPECT_EQ([[items objectAtIndex:255] intValue], 255);
    NSArray* identifiers = [fakeAssertionClass() fakeLastIdentifiers];
    QStringList asked;
    for (NSString* identifier in identifiers)
        asked.append(QString::fromUtf8([identifier UTF8String]));
    QStringList expected =
        TrayVisibilitySession::allowedBundleIDs(
            {"com.example.hidden"}, {"com.example.hidden", "org.zeta", "com.apple.Safari", "net.alpha"}, kOwn)
            .values();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(asked, expected);
    EXPECT_FALSE(asked.contains("com.example.hidden"));

    [fakeAssertionClass() fakeAnswerAllWithError:nil];
    EXPECT_TRUE(m_answers.isEmpty()) << "answers reach the session on its own thread's turn";
    m_scheduler.runUntilIdle();
    ASSERT_EQ(m_answers.size(), 1);
    EXPECT_FALSE(m_answers.first());
    EXPECT_TRUE(visibility->isActive());
    EXPECT_EQ(invalidations(), 0);

    visibility->release();
    EXPECT_FALSE(visibility->isActive());
    EXPECT_GE(invalidations(), 1) << "released assertions end";
}

TEST_F(VisibilityBridgeTest, NoAnswerInTimeEndsTheAssertionAndALateConfirmationCannotRevive_It)
{
    auto visibility = session();
    visibility->apply({"com.example.hidden"}, {"com.example.hidden"}, kOwn, record());
    m_scheduler.fastForwardBy(platform::seconds(3.0));
    ASSERT_EQ(m_answers.size(), 1);
    EXPECT_EQ(m_answers.first(), TrayVisibilityFailure(TrayVisibilityError::Case::timedOut));
    const NSInteger afterTimeout = invalidations();
    EXPECT_GE(afterTimeout, 1);

    [fakeAssertionClass() fakeAnswerAllWithError:nil];
    m_scheduler.runUntilIdle();
    EXPECT_EQ(m_answers.size(), 1) << "the caller is answered once";
    EXPECT_FALSE(visibility->isActive());
    EXPECT_GT(invalidations(), afterTimeout) << "the late confirmation is invalidated again";
}

TEST_F(VisibilityBridgeTest, TheSystemsErrorReachesTheCallerUnchanged)
{
    auto visibility = session();
    visibility->apply({"com.example.hidden"}, {"com.example.hidden"}, kOwn, record());
    NSError* refusal = VMBError(@"Assessment mode is not permitted.");
    EXPECT_EQ([[refusal domain] UTF8String], std::string("local.velmor.tray.visibility"));
    EXPECT_EQ([refusal code], 1);
    [fakeAssertionClass() fakeAnswerAllWithError:refusal];
    m_scheduler.runUntilIdle();
    ASSERT_EQ(m_answers.size(), 1);
    ASSERT_TRUE(m_answers.first());
    EXPECT_FALSE(m_answers.first()->errorCase());
    EXPECT_EQ(m_answers.first()->description(), "Assessment mode is not permitted.");
    EXPECT_GE(invalidations(), 1);
}

TEST_F(VisibilityBridgeTest, ARequestTheFrameworkRejectsIsReportedOnceAndHoldsNothing)
{
    __block NSString* reported = nil;
    __block int completions = 0;
    id token =
        [VMBVisibilityBridge activateWithAllowedBundleIdentifiers:[NSArray arrayWithObject:@"test.raise"]
                                                       completion:^(NSError* error) {
                                                         ++completions;
                                                         reported = [[error localizedDescription] copy];
                                                       }];
    EXPECT_EQ(token, nil);
    EXPECT_EQ(completions, 1);
    EXPECT_STREQ([reported UTF8String], "macOS rejected the visibility request (FakeRefusal).");
    [reported release];
    EXPECT_GE(invalidations(), 1) << "the half-made assertion is ended";

    // Through the session: it sees no token and answers `unavailable`; the bridge's own answer,
    // which arrives as well, is stale.
    auto visibility = session();
    visibility->apply({"com.example.hidden"}, {"com.example.hidden", "test.raise"}, kOwn, record());
    m_scheduler.runUntilIdle();
    ASSERT_EQ(m_answers.size(), 1);
    EXPECT_EQ(m_answers.first(), TrayVisibilityFailure(TrayVisibilityError::Case::unavailable));
}

TEST_F(VisibilityBridgeTest, AConfigurationTheFrameworkRefusesMakesNoRequestAndNoAnswer)
{
    __block int completions = 0;
    id token = [VMBVisibilityBridge
        activateWithAllowedBundleIdentifiers:[NSArray arrayWithObject:@"test.reject-configuration"]
                                  completion:^(NSError*) {
                                    ++completions;
                                  }];
    EXPECT_EQ(token, nil);
    EXPECT_EQ(completions, 0);
    EXPECT_EQ([fakeAssertionClass() fakePendingCount], 0u);
}

TEST_F(VisibilityBridgeTest, DroppingOrCancellingATokenEndsItsAssertionEvenInFlight)
{
    NativeVisibilityBackend backend;
    int answers = 0;
    auto token =
        backend.activate({"com.example.kept"}, [&](std::optional<TrayVisibilityFailure>) { ++answers; });
    ASSERT_TRUE(token);
    token.reset();
    EXPECT_EQ(invalidations(), 1) << "the last owner letting go ends the request";
    // The framework still answers the dropped request: the cancelled state ends it once more, and
    // the caller's completion still runs.
    [fakeAssertionClass() fakeAnswerAllWithError:nil];
    EXPECT_EQ(invalidations(), 2);
    EXPECT_EQ(answers, 1);

    auto held = backend.activate({"com.example.kept"}, [](std::optional<TrayVisibilityFailure>) {});
    ASSERT_TRUE(held);
    backend.invalidate(*held);
    EXPECT_EQ(invalidations(), 3);
    [fakeAssertionClass() fakeAnswerAllWithError:nil];
    EXPECT_EQ(invalidations(), 4) << "a cancellation that came first still ends the confirmed assertion";

    // Foreign objects are ignored, and objects without `invalidate` are harmless.
    [VMBVisibilityBridge invalidate:[[[NSObject alloc] init] autorelease]];
    VMBInvalidate([[[NSObject alloc] init] autorelease]);
    VMBInvalidate(nil);
}
