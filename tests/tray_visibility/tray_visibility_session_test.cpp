#include "platform/manual_scheduler.h"
#include "tray_visibility/native_visibility_backend.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_visibility_session.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmor;
using platform::seconds;
using test::kOwn;
using VisibilityCase = TrayVisibilityError::Case;

namespace {

// Answers only when the test says so, and remembers what it was asked.
class FakeBackend final : public TrayVisibilityBackend {
public:
    struct Token final : TrayVisibilityToken {
        explicit Token(int position) : index(position) {}
        int index;
    };
    struct Activation {
        QSet<QString> allowed;
        TrayVisibilityCompletion completion;
    };

    bool available = true;
    bool grantsTokens = true;
    std::vector<Activation> activations;
    std::vector<int> invalidated;

    bool isAvailable() const override { return available; }
    std::shared_ptr<TrayVisibilityToken> activate(const QSet<QString>& allowed,
                                                  TrayVisibilityCompletion completion) override
    {
        activations.push_back({allowed, std::move(completion)});
        if (!grantsTokens)
            return nullptr;
        return std::make_shared<Token>(static_cast<int>(activations.size()) - 1);
    }
    void invalidate(TrayVisibilityToken& token) override
    {
        invalidated.push_back(static_cast<Token&>(token).index);
    }

    void answer(std::size_t index, std::optional<TrayVisibilityFailure> failure = std::nullopt)
    {
        activations.at(index).completion(std::move(failure));
    }
    bool wasInvalidated(int index) const
    {
        return std::find(invalidated.begin(), invalidated.end(), index) != invalidated.end();
    }
};

// Every answer a completion received, in order.
struct Answers {
    std::vector<std::optional<TrayVisibilityFailure>> received;
    TrayVisibilityCompletion completion()
    {
        return
            [this](std::optional<TrayVisibilityFailure> failure) { received.push_back(std::move(failure)); };
    }
    bool onlyAnswer(const std::optional<TrayVisibilityFailure>& expected) const
    {
        return received.size() == 1 && received.front() == expected;
    }
};

QSet<QString> set(std::initializer_list<const char*> list)
{
    QSet<QString> result;
    for (const char* bundleID : list)
        result.insert(QString::fromUtf8(bundleID));
    return result;
}

class TrayVisibilitySessionTest : public ::testing::Test {
protected:
    void apply(TrayVisibilitySession& target, Answers& answers, QSet<QString> hidden = set({"a"}))
    {
        target.apply(hidden, set({"a", "b", "com.apple.c"}), kOwn, answers.completion());
    }

    platform::ManualScheduler scheduler;
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    TrayVisibilitySession session{scheduler, backend, 3.0};
};

} // namespace

TEST_F(TrayVisibilitySessionTest, NothingToHideAnswersAtOnceWithoutAskingTheSystem)
{
    for (const QSet<QString>& hidden :
         {set({}), set({"local.velmor.tray", "com.apple.c"}), set({"not.running"})}) {
        Answers answers;
        apply(session, answers, hidden);
        EXPECT_TRUE(answers.onlyAnswer(std::nullopt));
    }
    backend->available = false;
    Answers answers;
    apply(session, answers, set({"com.apple.c"}));
    EXPECT_TRUE(answers.onlyAnswer(std::nullopt));
    EXPECT_TRUE(backend->activations.empty());
    EXPECT_FALSE(session.isActive());
}

TEST_F(TrayVisibilitySessionTest, UnavailableSystemAnswersUnavailableOnce)
{
    backend->available = false;
    Answers refused;
    apply(session, refused);
    EXPECT_TRUE(refused.onlyAnswer(VisibilityCase::unavailable));
    EXPECT_TRUE(backend->activations.empty());

    backend->available = true;
    backend->grantsTokens = false;
    Answers tokenless;
    apply(session, tokenless);
    EXPECT_TRUE(tokenless.onlyAnswer(VisibilityCase::unavailable));
    // The system's own complaint about the same request arrives later and is stale.
    backend->answer(0, TrayVisibilityFailure::systemError(QStringLiteral("rejected")));
    scheduler.fastForwardBy(seconds(10));
    EXPECT_EQ(tokenless.received.size(), 1u);
}

TEST_F(TrayVisibilitySessionTest, ConfirmationKeepsTheTokenUntilRelease)
{
    Answers answers;
    apply(session, answers);
    ASSERT_EQ(backend->activations.size(), 1u);
    EXPECT_EQ(backend->activations[0].allowed,
              TrayVisibilitySession::allowedBundleIDs(set({"a"}), set({"a", "b", "com.apple.c"}), kOwn));

    backend->answer(0);
    EXPECT_TRUE(answers.received.empty()) << "answers are handled on the scheduler";
    scheduler.runUntilIdle();
    EXPECT_TRUE(answers.onlyAnswer(std::nullopt));
    EXPECT_TRUE(session.isActive());
    scheduler.fastForwardBy(seconds(10));
    EXPECT_EQ(answers.received.size(), 1u);
    EXPECT_TRUE(backend->invalidated.empty());

    session.release();
    EXPECT_FALSE(session.isActive());
    EXPECT_EQ(backend->invalidated, std::vector<int>{0});
    EXPECT_EQ(answers.received.size(), 1u);
}

TEST_F(TrayVisibilitySessionTest, RequestStartedFromACancellationIsCancelledByTheCallBeingMade)
{
    Answers first;
    Answers fromCancellation;
    Answers latest;
    session.apply(set({"b"}), set({"a", "b"}), kOwn, [&](std::optional<TrayVisibilityFailure> failure) {
        first.received.push_back(failure);
        apply(session, fromCancellation);
    });
    apply(session, latest);
    EXPECT_TRUE(first.onlyAnswer(VisibilityCase::cancelled));
    EXPECT_TRUE(fromCancellation.onlyAnswer(VisibilityCase::cancelled));
    ASSERT_EQ(backend->activations.size(), 3u);
    EXPECT_EQ(backend->invalidated, (std::vector<int>{0, 1}));

    // The system confirms the cancelled requests too, late: each was answered once, for good.
    backend->answer(0);
    backend->answer(1);
    backend->answer(2);
    scheduler.runUntilIdle();
    EXPECT_TRUE(first.onlyAnswer(VisibilityCase::cancelled));
    EXPECT_TRUE(fromCancellation.onlyAnswer(VisibilityCase::cancelled));
    EXPECT_TRUE(latest.onlyAnswer(std::nullopt));
}

// A request fails by the system's silence past the time-out or by its refusal: either way the
// caller hears the failure once, as it came, the token goes back and a late answer changes nothing.
TEST_F(TrayVisibilitySessionTest, SilenceTimesOutAndARefusalReachesTheCallerUnchanged)
{
    Answers silent;
    apply(session, silent);
    scheduler.fastForwardBy(seconds(2.999));
    EXPECT_TRUE(silent.received.empty());
    scheduler.fastForwardBy(seconds(0.001));
    EXPECT_TRUE(silent.onlyAnswer(VisibilityCase::timedOut));
    EXPECT_EQ(backend->invalidated, std::vector<int>{0});

    Answers refused;
    apply(session, refused);
    const auto refusal =
        TrayVisibilityFailure::systemError(QStringLiteral("macOS rejected the request (X)."));
    backend->answer(1, refusal);
    backend->answer(0);
    scheduler.runUntilIdle();
    EXPECT_TRUE(silent.onlyAnswer(VisibilityCase::timedOut)) << "the confirmation came too late";
    ASSERT_TRUE(refused.onlyAnswer(refusal));
    EXPECT_FALSE(refused.received[0]->errorCase());
    EXPECT_EQ(refused.received[0]->description(), QStringLiteral("macOS rejected the request (X)."));
    EXPECT_EQ(backend->invalidated, (std::vector<int>{0, 1}));
    EXPECT_FALSE(session.isActive());
    scheduler.fastForwardBy(seconds(10));
    EXPECT_EQ(refused.received.size(), 1u);
}

TEST_F(TrayVisibilitySessionTest, TimeOutNeverDropsBelowItsFloor)
{
    for (double timeout : {0.0, -5.0, std::nan("")}) {
        TrayVisibilitySession quick(scheduler, backend, timeout);
        Answers answers;
        apply(quick, answers);
        scheduler.fastForwardBy(seconds(0.009));
        EXPECT_TRUE(answers.received.empty()) << timeout;
        scheduler.fastForwardBy(seconds(0.001));
        EXPECT_TRUE(answers.onlyAnswer(VisibilityCase::timedOut)) << timeout;
    }
}

TEST_F(TrayVisibilitySessionTest, DestroyedSessionGivesItsTokenBack)
{
    Answers answers;
    auto doomed = std::make_unique<TrayVisibilitySession>(scheduler, backend, 3.0);
    apply(*doomed, answers);
    doomed.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(backend->invalidated, std::vector<int>{0});

    backend->answer(0);
    scheduler.fastForwardBy(seconds(10));
    EXPECT_TRUE(answers.received.empty());
}

TEST(TrayVisibilitySessionAllowList, KeepsOwnSystemOtherAndRunningAppleApps)
{
    QSet<QString> expected = set({"O", "C", "com.apple.B"});
    for (QStringView system : TrayVisibilitySession::kSystemBundleIDs)
        expected.insert(system.toString());
    EXPECT_EQ(TrayVisibilitySession::allowedBundleIDs(set({"A", "com.apple.B"}),
                                                      set({"A", "C", "com.apple.B"}), QStringLiteral("O")),
              expected);
}
