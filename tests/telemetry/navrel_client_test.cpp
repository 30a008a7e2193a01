#include "platform/manual_scheduler.h"
#include "support/https_test_server.h"
#include "telemetry/navrel_client.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace velmor {
namespace {

using test::HttpsTestServer;
using Answer = HttpsTestServer::Answer;

class NavrelClientTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    HttpsTestServer server;
    const AppSignalContext context =
        AppSignalContext::describe(QStringLiteral("local.velmor.tray"), QStringLiteral("1.4"),
                                   QStringLiteral("57"), {15, 3, 0}, quint64(16) << 30);
    const QString installation = QStringLiteral("6F1C1E2A-4B7D-4C1E-9A55-0D3C2B1A0F9E");

    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    std::unique_ptr<NavrelClient> makeClient(const QString& path = QStringLiteral("/api"))
    {
        return std::make_unique<NavrelClient>(
            NavrelConfiguration::make(server.url(path), QStringLiteral("key")), context, scheduler,
            NavrelSession(server.clientTls()));
    }

    // Also waits until every call made before it has run on the client's thread.
    static int pending(NavrelClient& client)
    {
        auto answer = std::make_shared<std::atomic<int>>(-1);
        client.pendingCount([answer](int count) { *answer = count; });
        EXPECT_TRUE(test::spinUntil([&]() { return *answer >= 0; }));
        return *answer;
    }

    static void record(NavrelClient& client, VelmorEvent event)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        client.event(event, [done]() { *done = true; });
        EXPECT_TRUE(test::spinUntil([&]() { return done->load(); }));
    }

    // Starts a report; the answer is -1 until the client gives it.
    static std::shared_ptr<std::atomic<int>> sendFeedback(NavrelClient& client, const QString& message,
                                                          bool bug)
    {
        auto answer = std::make_shared<std::atomic<int>>(-1);
        client.feedback(message, bug, [answer](bool accepted) { *answer = accepted ? 1 : 0; });
        return answer;
    }

    static std::optional<bool> feedback(NavrelClient& client, const QString& message, bool bug = false)
    {
        const auto answer = sendFeedback(client, message, bug);
        if (!test::spinUntil([&]() { return *answer >= 0; }))
            return std::nullopt;
        return *answer == 1;
    }

    static std::vector<std::string> memberNames(const Json& object)
    {
        std::vector<std::string> names;
        for (const auto& item : object.items())
            names.push_back(item.key());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(NavrelClientTest, EventRequestsCarryExactlyTheWireForm)
{
    auto client = makeClient();
    client->setConsent(true, installation, true);
    client->event(VelmorEvent::trayCollapsed);
    ASSERT_TRUE(server.waitForRequests(1));

    const auto& request = server.requests().at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/api/v1/events");
    EXPECT_EQ(request.header("Authorization"), QByteArray("Bearer key"));
    EXPECT_EQ(request.headerCount("Authorization"), 1);
    EXPECT_EQ(request.header("Content-Type"), QByteArray("application/json"));
    const Json body = request.json();
    EXPECT_EQ(memberNames(body),
              (std::vector<std::string>{"metadata", "name", "properties", "release", "source", "timestamp"}));
    EXPECT_EQ(body["source"], "local.velmor.tray");
    EXPECT_EQ(body["release"], "1.4+57");
    EXPECT_EQ(body["timestamp"], "2026-01-01T09:00:00Z");
    EXPECT_EQ(body["name"], "tray.collapsed");
    EXPECT_EQ(body["properties"], Json::object());
    EXPECT_EQ(body["metadata"],
              Json::parse(R"({"os":"15.3.0","architecture":"arm64","memory_class":"up_to_16GB",
        "installation_id":"6F1C1E2A-4B7D-4C1E-9A55-0D3C2B1A0F9E","location_opt_in":true})"));

    // The server set a cookie with its answer; the session neither keeps nor sends it.
    scheduler.advanceClock(std::chrono::milliseconds(61500));
    client->setConsent(true, installation, false);
    client->event(VelmorEvent::appOpened);
    ASSERT_TRUE(server.waitForRequests(2));
    const auto& second = server.requests().at(1);
    EXPECT_FALSE(second.header("Cookie"));
    EXPECT_EQ(second.json()["timestamp"], "2026-01-01T09:01:01Z");
    EXPECT_EQ(second.json()["metadata"]["location_opt_in"], false);
}

TEST_F(NavrelClientTest, NothingIsRecordedWithoutConsentAndAnInstallation)
{
    auto client = makeClient();
    client->event(VelmorEvent::micMuted);
    client->setConsent(true, std::nullopt, true);
    client->event(VelmorEvent::micUnmuted);
    client->setConsent(false, installation, true);
    client->event(VelmorEvent::clipPasted);
    EXPECT_EQ(pending(*client), 0);
    client->setConsent(true, installation, true);
    client->event(VelmorEvent::appOpened);
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_EQ(server.requests().at(0).json()["name"], "app.opened");
    EXPECT_EQ(pending(*client), 0);
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(NavrelClientTest, FeedbackIsTrimmedLimitedAndCarriesNoIdentifier)
{
    auto client = makeClient(QString());
    client->setConsent(true, installation, true);
    EXPECT_EQ(feedback(*client, QStringLiteral(" \n\t "), false), false);
    EXPECT_EQ(feedback(*client, QStringLiteral("\n Menu bar icons vanish. \n"), true), true);
    ASSERT_EQ(server.requests().size(), 1);
    const auto& report = server.requests().at(0);
    EXPECT_EQ(report.target, "/v1/feedback");
    EXPECT_EQ(report.header("Authorization"), QByteArray("Bearer key"));
    EXPECT_EQ(report.json(), Json::parse(R"({"source":"local.velmor.tray","release":"1.4+57",
        "timestamp":"2026-01-01T09:00:00Z","metadata":{"os":"15.3.0","architecture":"arm64",
        "memory_class":"up_to_16GB"},"message":"Menu bar icons vanish.","category":"bug"})"));

    // Length counts UTF-16 code units: a character outside the basic plane counts twice.
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(feedback(*client, grin.repeated(1000) + QStringLiteral("  ")), true);
    EXPECT_EQ(server.requests().last().json()["category"], "feedback");
    EXPECT_EQ(feedback(*client, grin.repeated(1000) + u'a'), false);
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(NavrelClientTest, OnlyA2xxAnswerCountsAndNothingIsRetried)
{
    server.setResponder([](const test::ReceivedRequest& request) {
        const QString text = json::string(request.json().value("message", Json())).value_or(QString());
        if (text == u"404" || request.json().value("name", "") == "mic.muted")
            return Answer::notFound;
        if (text == u"500" || request.json().value("name", "") == "mic.unmuted")
            return Answer::serverError;
        if (text == u"redirect")
            return Answer::redirectToNotFound;
        if (text == u"drop")
            return Answer::dropConnection;
        return Answer::ok;
    });
    auto client = makeClient();
    EXPECT_EQ(feedback(*client, QStringLiteral("404")), false);
    EXPECT_EQ(feedback(*client, QStringLiteral("500")), false);
    EXPECT_EQ(feedback(*client, QStringLiteral("redirect")), false);
    EXPECT_EQ(server.requests().last().target, HttpsTestServer::notFoundTarget);
    EXPECT_EQ(feedback(*client, QStringLiteral("drop")), false);
    EXPECT_EQ(feedback(*client, QStringLiteral("fine")), true);

    const qsizetype before = server.requests().size();
    client->setConsent(true, installation, true);
    client->event(VelmorEvent::micMuted);
    client->event(VelmorEvent::micUnmuted);
    client->event(VelmorEvent::appOpened);
    ASSERT_TRUE(server.waitForRequests(before + 3));
    EXPECT_EQ(pending(*client), 0);
    QStringList names;
    for (qsizetype i = before; i < server.requests().size(); ++i)
        names << json::string(server.requests().at(i).json()["name"]).value_or(QString());
    EXPECT_EQ(names, QStringList({"mic.muted", "mic.unmuted", "app.opened"}));
}

// How long a reply's body may go on, as the server hands it over: only the status counts, so a
// body past the limit ends the request at once, with no virtual time passing; one within the limit
// that then stalls is waited for until the whole-request deadline. The trickle is the server that
// never hands over a limit's worth at once: the limit counts everything read, not each read.
TEST_F(NavrelClientTest, AReplyPastItsLimitIsCutAtOnceAndOneWithinItWaitsForTheDeadline)
{
    const QByteArray target = QByteArray("/api/") + NavrelConfiguration::feedbackPath;
    constexpr qsizetype limit = NavrelClient::maximumReplyBytes;
    struct Case {
        const char* name;
        Answer answer;
        qsizetype content; // bytes before the stall
        bool cutAtOnce;
        qint64 serverSendsBelow; // for a body without end: the client hung up soon after its limit
    };
    const QList<Case> cases{
        {"exactly the limit, then a stall", Answer::contentThenStall, limit, false, 0},
        {"the limit and one more, then a stall", Answer::contentThenStall, limit + 1, true, 0},
        {"an endless body as fast as it is taken", Answer::endlessBody, 0, true, 4 * 1024 * 1024},
        {"an endless body in small pieces far apart", Answer::trickle, 0, true, 64 * 1024},
    };
    for (const Case& reply : cases) {
        SCOPED_TRACE(reply.name);
        server.setResponder([given = reply.answer](const test::ReceivedRequest&) { return given; });
        server.setContent(target, QByteArray(reply.content, 'x'));
        const qint64 sentBefore = server.endlessBytes();
        const qsizetype requestsBefore = server.requests().size();
        auto client = makeClient();
        const auto answer = sendFeedback(*client, QStringLiteral("how long is your answer?"), false);
        ASSERT_TRUE(server.waitForRequests(requestsBefore + 1));
        ASSERT_EQ(server.requests().last().target, target);

        if (reply.cutAtOnce) {
            ASSERT_TRUE(test::spinUntil([&]() { return *answer >= 0; })) << "waits for the deadline";
            EXPECT_EQ(*answer, 1) << "judged by its status";
        } else {
            // The whole body is on its way at once; a client that wrongly cut it would answer well
            // within this window (a slow machine only makes the check weaker, never wrong).
            EXPECT_FALSE(QTest::qWaitFor([&]() { return *answer >= 0; }, 1000)) << "cut within the limit";
            scheduler.fastForwardBy(NavrelSession::resourceTimeout - std::chrono::milliseconds(1));
            EXPECT_EQ(pending(*client), 0); // the client has run whatever the clock posted to it
            EXPECT_EQ(*answer, -1) << "ended before the deadline";
            scheduler.fastForwardBy(std::chrono::milliseconds(1));
            // Well before the session's idle limit, which would end the request on its own.
            ASSERT_TRUE(QTest::qWaitFor([&]() { return *answer >= 0; }, 5000)) << "the deadline did nothing";
            EXPECT_EQ(*answer, 0) << "a body that never arrived whole is a failure";
        }
        if (reply.serverSendsBelow > 0) {
            ASSERT_TRUE(test::spinUntil([&]() { return !server.endlessGoesOn(); })) << "still read on";
            EXPECT_LT(server.endlessBytes() - sentBefore, reply.serverSendsBelow);
        }
    }
}

TEST_F(NavrelClientTest, TheQueueKeepsTheNewest64InRecordingOrder)
{
    server.setResponder([this](const test::ReceivedRequest&) {
        return server.requests().size() == 1 ? Answer::hold : Answer::ok;
    });
    auto client = makeClient();
    client->setConsent(true, installation, true);
    record(*client, VelmorEvent::appOpened);
    ASSERT_TRUE(server.waitForRequests(1));
    for (int second = 1; second <= 65; ++second) {
        scheduler.advanceClock(platform::seconds(1));
        record(*client, VelmorEvent::trayCollapsed);
    }
    EXPECT_EQ(pending(*client), 64);

    server.releaseHeld();
    ASSERT_TRUE(server.waitForRequests(65));
    const QDateTime start = scheduler.currentDate().addSecs(-65);
    for (int i = 1; i < 65; ++i) {
        const std::string expected = start.addSecs(i + 1).toUTC().toString(Qt::ISODate).toStdString();
        EXPECT_EQ(server.requests().at(i).json()["timestamp"], expected) << i;
    }
    EXPECT_EQ(pending(*client), 0);
}

TEST_F(NavrelClientTest, WithdrawingConsentDropsTheQueueAndAbortsTheRequestInFlight)
{
    server.setResponder([this](const test::ReceivedRequest&) {
        return server.requests().size() == 1 ? Answer::hold : Answer::ok;
    });
    auto client = makeClient();
    client->setConsent(true, installation, true);
    client->event(VelmorEvent::appOpened);
    ASSERT_TRUE(server.waitForRequests(1));
    client->event(VelmorEvent::micMuted);
    client->event(VelmorEvent::micUnmuted);
    EXPECT_EQ(pending(*client), 2);

    client->setConsent(false, std::nullopt, true);
    EXPECT_EQ(pending(*client), 0);
    ASSERT_TRUE(test::spinUntil([&]() { return server.clientAborts() == 1; }));

    const QString renewed = QStringLiteral("0A1B2C3D-0000-4000-8000-00000000ABCD");
    client->setConsent(true, renewed, false);
    client->event(VelmorEvent::trayCollapsed);
    ASSERT_TRUE(server.waitForRequests(2));
    EXPECT_EQ(server.requests().at(1).json()["name"], "tray.collapsed");
    EXPECT_EQ(server.requests().at(1).json()["metadata"]["installation_id"], json::toStd(renewed));
    EXPECT_EQ(pending(*client), 0);
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(NavrelClientTest, WithoutAValidConfigurationNothingIsEverSent)
{
    NavrelClient client(
        NavrelConfiguration::make(QStringLiteral("http://127.0.0.1/api"), QStringLiteral("key")), context,
        scheduler, NavrelSession(server.clientTls()));
    client.setConsent(true, installation, true);
    client.event(VelmorEvent::appOpened);
    EXPECT_EQ(pending(client), 0);
    EXPECT_EQ(feedback(client, QStringLiteral("hello")), false);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(NavrelClientTest, AnUntrustedCertificateFailsTheRequest)
{
    NavrelClient client(NavrelConfiguration::make(server.url(), QStringLiteral("key")), context, scheduler);
    EXPECT_EQ(feedback(client, QStringLiteral("hello")), false);
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
} // namespace velmor
