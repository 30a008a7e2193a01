#include "distribution/app_updates.h"
#include "platform/manual_scheduler.h"
#include "platform/memory_user_defaults.h"
#include "platform/services.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/updater/appcast_text.h"
#include "simulated_mac/updater/signing_key.h"
#include "simulated_mac/updater/simulated_updater.h"
#include "simulated_mac/updater/simulated_updater_framework.h"
#include "suite_ui/velmor_signals.h"
#include "support/file_mode.h"
#include "support/https_test_server.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmor {
namespace {

using Answer = test::HttpsTestServer::Answer;
using simulated_mac::SimulatedUpdater;
using test::Release;

const QByteArray feedTarget = "/appcast.xml";
const QByteArray archiveTarget = "/archive.zip";

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

// The update controller over the simulated framework, against a local HTTPS server with a key pair
// made for the test.
class SimulatedUpdaterTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    platform::MemoryUserDefaults defaults;
    test::HttpsTestServer server;
    test::SigningKey key;
    QTemporaryDir folder;
    QByteArray archive;
    std::unique_ptr<simulated_mac::SimulatedHost> host;
    std::unique_ptr<VelmorSignals> hub;
    std::unique_ptr<simulated_mac::SimulatedUpdaterFramework> framework;
    platform::Services services;
    std::unique_ptr<AppUpdates> updates;
    QList<VelmorEvent> events;
    QList<platform::UpdateItem> installed;
    std::map<QByteArray, Answer> answers;

    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        ASSERT_TRUE(key.isValid());
        for (int i = 0; i < 256 * 1024; ++i)
            archive.append(char((i * 7919) >> 3));
        server.setContent(archiveTarget, archive);
        server.setResponder([this](const test::ReceivedRequest& request) {
            const auto found = answers.find(request.target);
            return found == answers.end() ? Answer::ok : found->second;
        });
    }

    QString cacheFolder() const { return folder.filePath(QStringLiteral("Caches/Updates")); }

    Release newRelease() const
    {
        return {QStringLiteral("58"),
                QStringLiteral("1.5"),
                QStringLiteral("26.0"),
                server.url(QString::fromLatin1(archiveTarget)),
                QString::number(archive.size()),
                key.sign(archive)};
    }

    void serve(const QList<Release>& releases) { server.setContent(feedTarget, test::appcastText(releases)); }

    // The feed offering newRelease(), filled with a comment to `size` bytes.
    QByteArray feedOfSize(qsizetype size) const
    {
        const QByteArray feed = test::appcastText({newRelease()});
        const qsizetype end = feed.indexOf("</channel>");
        const QByteArray emptyComment = "<!---->";
        return feed.left(end) + "<!--" + QByteArray(size - feed.size() - emptyComment.size(), ' ') + "-->" +
               feed.mid(end);
    }

    void startUpdates(bool busy = false)
    {
        // A fresh app: what the old one used goes first.
        updates.reset();
        framework.reset();
        hub.reset();
        host.reset();
        simulated_mac::SimulatedHost::Configuration configuration;
        configuration.homeDirectory = folder.path();
        configuration.mainBundle =
            platform::MainBundle({{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")},
                                  {QStringLiteral("CFBundleName"), QStringLiteral("Velmor Tray")},
                                  {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
                                  {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.4")},
                                  {QStringLiteral("SUFeedURL"), server.url(QString::fromLatin1(feedTarget))},
                                  {QStringLiteral("SUPublicEDKey"), key.publicKeyBase64()}},
                                 QStringLiteral("/Applications/Velmor Tray.app"));
        host = std::make_unique<simulated_mac::SimulatedHost>(configuration);
        hub = std::make_unique<VelmorSignals>(*host, defaults, scheduler);
        QObject::connect(hub.get(), &VelmorSignals::tracked, hub.get(),
                         [this](VelmorEvent event) { events.append(event); });
        simulated_mac::SimulatedUpdaterFramework::Configuration setup;
        setup.tls = server.clientTls();
        setup.cacheFolder = cacheFolder();
        setup.install = [this](const platform::UpdateItem& item) { installed.append(item); };
        framework = std::make_unique<simulated_mac::SimulatedUpdaterFramework>(scheduler, *host, defaults, setup);
        services.scheduler = &scheduler;
        services.host = host.get();
        services.userDefaults = &defaults;
        services.updater = framework.get();
        updates = std::make_unique<AppUpdates>(services, hub.get());
        updates->start([busy] { return busy; });
        scheduler.runUntilIdle();
    }

    void TearDown() override
    {
        updates.reset();
        framework.reset();
    }

    bool waitFor(const std::function<bool()>& condition)
    {
        return test::spinUntil(condition, [this] { scheduler.runUntilIdle(); });
    }

    simulated_mac::UpdaterAlert& alert() { return framework->alert(); }

    // A user-initiated check up to the framework's offer, answered with "Install Update".
    bool checkAndInstall()
    {
        updates->check();
        if (!waitFor([this] { return alert().shown(); }))
            return false;
        return alert().chooseTitled(text(SimulatedUpdater::installChoice));
    }

    // A download that gets one byte and then nothing, until it counts as stalled: only then may
    // the user check again.
    bool stallADownload()
    {
        serve({newRelease()});
        answers[archiveTarget] = Answer::drip;
        startUpdates();
        if (!checkAndInstall() || !waitFor([this] { return requestsFor(archiveTarget) == 1; }) ||
            updates->canCheck())
            return false;
        scheduler.fastForwardBy(platform::seconds(SimulatedUpdater::stallPeriodSeconds));
        return updates->canCheck();
    }

    QStringList cacheFiles() const
    {
        return QDir(cacheFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    int requestsFor(const QByteArray& target) const
    {
        int count = 0;
        for (const auto& request : server.requests())
            count += request.target == target ? 1 : 0;
        return count;
    }
};

TEST_F(SimulatedUpdaterTest, AVerifiedReleaseIsOfferedDownloadedAndInstalled)
{
    Release old = newRelease();
    old.version = QStringLiteral("50");
    serve({newRelease(), old});
    startUpdates();
    ASSERT_TRUE(updates->available());
    ASSERT_TRUE(updates->canCheck());
    int fileMode = -1;
    QObject::connect(hub.get(), &VelmorSignals::tracked, hub.get(), [&](VelmorEvent event) {
        if (event == VelmorEvent::updateDownloaded)
            fileMode = test::fileMode(cacheFolder() + u'/' + text(SimulatedUpdater::downloadFileName));
    });

    updates->check();
    ASSERT_TRUE(waitFor([this] { return alert().shown(); }));
    EXPECT_EQ(
        alert().text(),
        QStringLiteral("Velmor Tray 1.5 is available; you have 1.4. Would you like to install it now?"));
    EXPECT_FALSE(updates->canCheck());
    ASSERT_TRUE(alert().chooseTitled(text(SimulatedUpdater::installChoice)));

    ASSERT_TRUE(waitFor([this] { return !installed.isEmpty(); }));
    EXPECT_EQ(installed.size(), 1);
    EXPECT_EQ(installed.first().versionString, QStringLiteral("58"));
    EXPECT_EQ(events, (QList<VelmorEvent>{VelmorEvent::updateFound, VelmorEvent::updateDownloaded}));
    EXPECT_EQ(fileMode, 0600);
    EXPECT_EQ(test::fileMode(cacheFolder()), 0700);
    EXPECT_TRUE(cacheFiles().isEmpty());
    // The feed's answer set a cookie; the archive's request does not carry it.
    for (const auto& request : server.requests())
        EXPECT_FALSE(request.header("Cookie"));
}

TEST_F(SimulatedUpdaterTest, EveryFailureEndsInItsMessageWithNothingInstalledOrCached)
{
    // What the server answers, and what the framework's dialog then says.
    struct Case {
        const char* name;
        std::function<void(Release&)> change;
        QByteArray served;
        Answer feed;
        Answer archive;
        const char* dialog;
    };
    test::SigningKey other;
    ASSERT_TRUE(other.isValid());
    QByteArray tampered = archive;
    tampered[1000] = char(tampered[1000] ^ 1);
    const auto same = [](Release&) {};
    const QString upToDate = QStringLiteral("Velmor Tray 1.4 is the newest version available.");
    const QList<Case> cases{
        {"tampered archive", same, tampered, Answer::ok, Answer::ok, SimulatedUpdater::signatureError},
        {"signed by another key", [&](Release& r) { r.signature = other.sign(archive); }, archive, Answer::ok,
         Answer::ok, SimulatedUpdater::signatureError},
        {"archive not found", same, archive, Answer::ok, Answer::notFound, SimulatedUpdater::downloadError},
        {"archive cut off", same, archive, Answer::ok, Answer::truncatedContent,
         SimulatedUpdater::downloadError},
        {"only older releases", [](Release& r) { r.version = QStringLiteral("57"); }, archive, Answer::ok,
         Answer::ok, nullptr},
        {"feed not found", same, archive, Answer::notFound, Answer::ok, SimulatedUpdater::feedFailedError},
        {"feed connection dropped", same, archive, Answer::dropConnection, Answer::ok,
         SimulatedUpdater::feedFailedError},
    };
    for (const Case& failure : cases) {
        SCOPED_TRACE(failure.name);
        Release release = newRelease();
        failure.change(release);
        serve({release});
        server.setContent(archiveTarget, failure.served);
        answers = {{feedTarget, failure.feed}, {archiveTarget, failure.archive}};
        events.clear();
        const int archiveRequests = requestsFor(archiveTarget);
        startUpdates();
        const bool offered = failure.feed == Answer::ok && failure.dialog;
        if (offered)
            ASSERT_TRUE(checkAndInstall());
        else
            updates->check();
        const QString dialog = failure.dialog ? text(failure.dialog) : upToDate;
        ASSERT_TRUE(waitFor([&] { return alert().text() == dialog; })) << alert().text().toStdString();
        EXPECT_EQ(updates->message(),
                  text(failure.dialog ? AppUpdates::notInstalledMessage : AppUpdates::upToDateMessage));
        EXPECT_EQ(events.count(VelmorEvent::updateFailed), failure.dialog ? 1 : 0);
        EXPECT_EQ(requestsFor(archiveTarget) - archiveRequests, offered ? 1 : 0);
        EXPECT_TRUE(installed.isEmpty());
        EXPECT_TRUE(cacheFiles().isEmpty());
        EXPECT_TRUE(updates->canCheck());
        alert().choose(0);
        server.setContent(feedTarget, {});
    }
}

// The archive as the server delivers it, mostly without announcing a length: only the stated
// length is installed, and a body that runs on is cut off as soon as it passes that length, not at
// the download's deadline (no virtual time passes here) while the disk fills.
TEST_F(SimulatedUpdaterTest, AnArchiveIsInstalledOnlyAtItsStatedLength)
{
    struct Case {
        const char* name;
        QByteArray served;
        Answer answer;
        const char* dialog; // none when the update is installed
    };
    const QList<Case> cases{
        {"exactly the stated length", archive, Answer::unsizedContent, nullptr},
        {"one byte more", archive + 'x', Answer::unsizedContent, SimulatedUpdater::lengthError},
        {"one byte less", archive.chopped(1), Answer::unsizedContent, SimulatedUpdater::lengthError},
        {"one byte more, announced", archive + 'x', Answer::ok, SimulatedUpdater::lengthError},
        {"a body without end", archive, Answer::unsizedEndlessBody, SimulatedUpdater::lengthError},
    };
    for (const Case& delivery : cases) {
        SCOPED_TRACE(delivery.name);
        serve({newRelease()});
        server.setContent(archiveTarget, delivery.served);
        answers = {{archiveTarget, delivery.answer}};
        installed.clear();
        startUpdates();
        const platform::TimePoint started = scheduler.now();
        ASSERT_TRUE(checkAndInstall());
        if (delivery.dialog)
            ASSERT_TRUE(waitFor([&] { return alert().text() == text(delivery.dialog); }))
                << alert().text().toStdString();
        else
            ASSERT_TRUE(waitFor([this] { return !installed.isEmpty(); }));
        EXPECT_TRUE(scheduler.now() == started);
        EXPECT_EQ(installed.size(), delivery.dialog ? 0 : 1);
        EXPECT_TRUE(cacheFiles().isEmpty());
        EXPECT_TRUE(waitFor([this] { return !server.endlessGoesOn(); }));
        EXPECT_LT(server.endlessBytes(), 4 * 1024 * 1024);
        alert().choose(0);
    }
}

// The feed is read up to its size limit, however it arrives, and refused as it passes it; one
// that keeps coming too slowly to get there ends at its deadline, not a moment later.
TEST_F(SimulatedUpdaterTest, AFeedIsReadUpToItsSizeLimitAndItsDeadline)
{
    struct Case {
        const char* name;
        QByteArray feed;
        Answer answer;
        QString dialog;
    };
    const QString tooLarge = text(SimulatedUpdater::feedTooLargeError);
    const QList<Case> cases{
        {"exactly the limit", feedOfSize(simulated_mac::Appcast::maximumBytes), Answer::ok,
         QStringLiteral("Velmor Tray 1.5 is available; you have 1.4. Would you like to install it now?")},
        {"one byte more", feedOfSize(simulated_mac::Appcast::maximumBytes + 1), Answer::ok, tooLarge},
        {"a body without end", {}, Answer::endlessBody, tooLarge},
    };
    for (const Case& delivery : cases) {
        SCOPED_TRACE(delivery.name);
        server.setContent(feedTarget, delivery.feed);
        answers = {{feedTarget, delivery.answer}};
        startUpdates();
        const platform::TimePoint started = scheduler.now();
        updates->check();
        ASSERT_TRUE(waitFor([&] { return alert().text() == delivery.dialog; }))
            << alert().text().toStdString();
        EXPECT_TRUE(scheduler.now() == started);
        EXPECT_TRUE(waitFor([this] { return !server.endlessGoesOn(); }));
        EXPECT_LT(server.endlessBytes(), simulated_mac::Appcast::maximumBytes + 4 * 1024 * 1024);
        alert().choose(0);
    }

    answers = {{feedTarget, Answer::trickle}};
    startUpdates();
    updates->check();
    const auto moreArrives = [this] {
        const qint64 sent = server.endlessBytes();
        return waitFor([&] { return server.endlessBytes() > sent + 4096; });
    };
    ASSERT_TRUE(moreArrives());
    scheduler.fastForwardBy(platform::seconds(SimulatedUpdater::feedDeadlineSeconds - 1));
    // What keeps arriving does not put the deadline off.
    ASSERT_TRUE(moreArrives());
    EXPECT_FALSE(alert().shown());
    scheduler.fastForwardBy(platform::seconds(1));
    ASSERT_TRUE(waitFor([this] { return alert().shown(); }));
    EXPECT_EQ(alert().text(), text(SimulatedUpdater::feedTimedOutError));
    EXPECT_EQ(updates->message(), text(AppUpdates::notInstalledMessage));
    EXPECT_TRUE(waitFor([this] { return !server.endlessGoesOn(); }));
}

// One byte and then nothing: every idle time-out passes, the deadline set by the archive's length
// does not. Meanwhile the stalled download lets the user check again.
TEST_F(SimulatedUpdaterTest, ADrippingArchiveFailsAtItsDeadlineAndANewCheckThenStarts)
{
    ASSERT_TRUE(stallADownload());
    const double deadline = SimulatedUpdater::downloadDeadlineSeconds(archive.size());
    EXPECT_EQ(deadline, SimulatedUpdater::downloadDeadlineFloorSeconds);
    scheduler.fastForwardBy(platform::seconds(deadline - SimulatedUpdater::stallPeriodSeconds - 1));
    EXPECT_FALSE(alert().shown());
    scheduler.fastForwardBy(platform::seconds(1));
    ASSERT_TRUE(waitFor([this] { return alert().shown(); }));
    EXPECT_EQ(alert().text(), text(SimulatedUpdater::downloadTimedOutError));
    EXPECT_TRUE(cacheFiles().isEmpty());
    alert().choose(0);

    const int feeds = requestsFor(feedTarget);
    updates->check();
    ASSERT_TRUE(waitFor([&] { return requestsFor(feedTarget) == feeds + 1; }));
}

TEST_F(SimulatedUpdaterTest, ACheckTheUserStartsReplacesAStalledDownload)
{
    ASSERT_TRUE(stallADownload());
    answers[archiveTarget] = Answer::ok;
    ASSERT_TRUE(checkAndInstall());
    ASSERT_TRUE(waitFor([this] { return !installed.isEmpty(); }));
    EXPECT_EQ(requestsFor(archiveTarget), 2);
    EXPECT_EQ(events.count(VelmorEvent::updateFailed), 0);
}

TEST_F(SimulatedUpdaterTest, ScheduledChecksRunAtTheIntervalAndStaySilentUntilTheyFindSomething)
{
    serve({});
    startUpdates();
    updates->setAutomaticChecks(true);
    ASSERT_TRUE(waitFor([this] { return requestsFor(feedTarget) == 1; }));
    ASSERT_TRUE(waitFor([this] { return updates->message() == text(AppUpdates::upToDateMessage); }));
    EXPECT_FALSE(alert().shown());
    scheduler.fastForwardBy(
        platform::seconds(simulated_mac::SimulatedUpdaterFramework::defaultCheckIntervalSeconds - 1));
    EXPECT_EQ(requestsFor(feedTarget), 1);

    // With automatic downloads the release is fetched and verified before the user is asked.
    serve({newRelease()});
    updates->setAutomaticDownloads(true);
    scheduler.fastForwardBy(platform::seconds(1));
    ASSERT_TRUE(waitFor([this] { return alert().shown(); }));
    EXPECT_EQ(alert().title(), QStringLiteral("Velmor Tray 1.5 is ready to install"));
    EXPECT_EQ(requestsFor(archiveTarget), 1);
    ASSERT_TRUE(alert().chooseTitled(text(SimulatedUpdater::installAndRelaunchChoice)));
    EXPECT_EQ(installed.size(), 1);
}

TEST_F(SimulatedUpdaterTest, AHeldBackReleaseCanBePutOffFromTheFrameworksDialog)
{
    serve({newRelease()});
    startUpdates(true);
    ASSERT_TRUE(checkAndInstall());
    ASSERT_TRUE(waitFor([this] { return updates->hasPendingInstallation(); }));
    EXPECT_EQ(updates->message(), text(AppUpdates::waitingForWorkMessage));
    EXPECT_EQ(cacheFiles().size(), 1);
    scheduler.fastForwardBy(platform::seconds(30));
    EXPECT_TRUE(installed.isEmpty());

    // Checking again offers the waiting release; "Later" gives it up.
    updates->check();
    ASSERT_TRUE(alert().shown());
    ASSERT_TRUE(alert().chooseTitled(text(SimulatedUpdater::laterChoice)));
    EXPECT_FALSE(updates->hasPendingInstallation());
    EXPECT_EQ(updates->message(), text(AppUpdates::postponedMessage));
    EXPECT_FALSE(alert().shown());
    EXPECT_TRUE(cacheFiles().isEmpty());
    EXPECT_EQ(events.count(VelmorEvent::updateFailed), 0);
}

} // namespace
} // namespace velmor
