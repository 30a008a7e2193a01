#include "platform/manual_scheduler.h"
#include "simulated_mac/updater/appcast.h"
#include "simulated_mac/updater/appcast_reader.h"
#include "simulated_mac/updater/appcast_text.h"
#include "support/https_test_server.h"
#include "support/thread_cpu_time.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmor {
namespace {

using simulated_mac::Appcast;
using test::Release;

const QUrl feedURL(QStringLiteral("https://updates.example.com/tray/appcast.xml"));
const QString signature = QString::fromLatin1(QByteArray(64, 's').toBase64());

Release release(const QString& version, const QString& minimum = {})
{
    return {
        version,  {}, minimum, QStringLiteral("https://cdn.example.com/") + version, QStringLiteral("1000"),
        signature};
}

Appcast::Choice choose(const QList<Release>& releases)
{
    const auto appcast = Appcast::parse(test::appcastText(releases));
    if (!appcast)
        return Appcast::InvalidRelease{};
    return appcast->choose(QStringLiteral("57"), {27, 0, 0}, feedURL);
}

QString chosenVersion(const Appcast::Choice& choice)
{
    const auto* item = std::get_if<platform::UpdateItem>(&choice);
    return item ? item->versionString : QString();
}

// `pattern` `count` times over, its "#" replaced by the repetition's number.
QByteArray repeatedMarkup(const QByteArray& pattern, qsizetype count)
{
    QByteArray markup;
    for (qsizetype i = 0; i < count; ++i)
        markup += QByteArray(pattern).replace("#", QByteArray::number(i));
    return markup;
}

// A feed of one release around what a case puts in its item. Without it the document has five
// elements (rss, channel, item, version, enclosure), declares one namespace and nests the item's
// contents at the fourth level.
QByteArray feedAround(const QByteArray& inItem, const QByteArray& version = "58",
                      const QByteArray& length = "1000", const QByteArray& url = "https://cdn.example.com/58.zip")
{
    return "<rss version=\"2.0\" xmlns:sparkle=\"https://updates.velmor.example/xml-namespaces/release\">"
           "<channel><item><sparkle:version>" +
           version + "</sparkle:version>" + inItem + "<enclosure url=\"" + url + "\" length=\"" + length +
           "\" sparkle:edSignature=\"" + signature.toLatin1() + "\"/></item></channel></rss>";
}

// What a check makes of a document, as the dialog would tell it: why the feed is refused, the
// release chosen, why the newest release is unusable, or that there is nothing newer.
QString judgedFeed(const QByteArray& document)
{
    QString reason;
    const auto appcast = Appcast::parse(document, &reason);
    if (!appcast)
        return QStringLiteral("refused: ") + reason;
    const Appcast::Choice choice = appcast->choose(QStringLiteral("57"), {27, 0, 0}, feedURL);
    if (const auto* invalid = std::get_if<Appcast::InvalidRelease>(&choice))
        return QStringLiteral("invalid: ") + invalid->reason;
    const QString version = chosenVersion(choice);
    return version.isEmpty() ? QStringLiteral("no update") : QStringLiteral("release ") + version;
}

TEST(AppcastTest, VersionsCompareNumericallyComponentByComponent)
{
    EXPECT_LT(Appcast::compareVersions(QStringLiteral("1.9.9"), QStringLiteral("1.10")), 0);
    EXPECT_EQ(Appcast::compareVersions(QStringLiteral("1.0"), QStringLiteral("1")), 0);
    EXPECT_EQ(Appcast::compareVersions(QStringLiteral("007"), QStringLiteral("7")), 0);
    // Larger than any integer type, still ordered.
    EXPECT_GT(Appcast::compareVersions(QString(30, u'9'), QString(29, u'9')), 0);
    for (const auto* bad : {"", "1.", ".1", "1..2", "1.4-beta", "v2"})
        EXPECT_FALSE(Appcast::isNumericVersion(QString::fromLatin1(bad))) << bad;
}

TEST(AppcastTest, TheNewestReleaseThisSystemRunsIsChosen)
{
    // Too new for the system, a requirement that cannot be read, an unusable version: passed over.
    EXPECT_EQ(chosenVersion(choose({release(QStringLiteral("58"), QStringLiteral("26.4")),
                                    release(QStringLiteral("60")), release(QStringLiteral("59")),
                                    release(QStringLiteral("61"), QStringLiteral("27.0.1")),
                                    release(QStringLiteral("62"), QStringLiteral("twenty-eight")),
                                    release(QStringLiteral("63-beta"))})),
              QStringLiteral("60"));
    EXPECT_TRUE(std::holds_alternative<Appcast::NoUpdate>(
        choose({release(QStringLiteral("50")), release(QStringLiteral("57.0"))})));

    // A relative enclosure is resolved against the feed; the display version falls back to the build.
    Release relative = release(QStringLiteral("58"));
    relative.url = QStringLiteral("archives/58.zip");
    const auto chosen = std::get<platform::UpdateItem>(choose({relative}));
    EXPECT_EQ(chosen.fileURL, QUrl(QStringLiteral("https://updates.example.com/tray/archives/58.zip")));
    EXPECT_EQ(chosen.displayVersionString, QStringLiteral("58"));

    // Older feeds put the versions on the enclosure; another namespace's "version" is not ours.
    const auto older = Appcast::parse(
        "<rss xmlns:sparkle=\"https://updates.velmor.example/xml-namespaces/release\"><channel><item>"
        "<enclosure url=\"https://cdn.example.com/a.zip\" length=\"10\" sparkle:version=\"58\" "
        "sparkle:edSignature=\"" +
        signature.toLatin1() +
        "\"/></item><item><v:version xmlns:v=\"urn:other\">99</v:version></item></channel></rss>");
    ASSERT_TRUE(older);
    EXPECT_EQ(chosenVersion(older->choose(QStringLiteral("57"), {27, 0, 0}, feedURL)), QStringLiteral("58"));
}

TEST(AppcastTest, ABrokenNewestReleaseIsAnErrorNotAReasonToOfferAnOlderOne)
{
    const QList<std::function<void(Release&)>> changes{
        [](Release& r) { r.url = QStringLiteral("http://cdn.example.com/60.zip"); },
        [](Release& r) { r.url.clear(); },
        [](Release& r) { r.length = QStringLiteral("-5"); },
        [](Release& r) { r.length = QStringLiteral("0"); },
        [](Release& r) { r.length = QStringLiteral("99999999999999999999999"); },
        [](Release& r) { r.signature = QString::fromLatin1(QByteArray(63, 's').toBase64()); },
    };
    for (const auto& change : changes) {
        Release newest = release(QStringLiteral("60"));
        change(newest);
        EXPECT_TRUE(
            std::holds_alternative<Appcast::InvalidRelease>(choose({release(QStringLiteral("58")), newest})));
    }
}

// Every limit on what a feed may hold, at the limit and one past it: a real feed may come close,
// so the limit itself is still read, and one more is refused with its reason.
TEST(AppcastTest, EveryBoundAtItsEdge)
{
    const auto nested = [](int levels) {
        return repeatedMarkup("<x>", levels) + repeatedMarkup("</x>", levels);
    };
    const auto attributes = [](int count) { return "<x" + repeatedMarkup(" a#=\"\"", count) + "/>"; };
    const auto declaring = [](int count) { return repeatedMarkup("<x xmlns:n#=\"urn:n#\"/>", count); };
    // A comment fills the feed to `size` bytes.
    const auto sized = [](qsizetype size) {
        return feedAround("<!--" + QByteArray(size - feedAround("<!---->").size(), ' ') + "-->");
    };
    // Whitespace around a value is no part of it, but counts towards the field's length.
    const auto spacedVersion = [](qsizetype size) { return "58" + QByteArray(size - 2, ' '); };
    const QString chosen = QStringLiteral("release 58");
    const QString refused = QStringLiteral("refused: ");
    const QString noUpdate = QStringLiteral("no update");
    const QByteArray longestVersion(64, '9');
    const qsizetype longestField = 4096;
    const QByteArray address = "https://cdn.example.com/";
    const QByteArray longestAddress = address + QByteArray(longestField - address.size(), 'a');
    struct Case {
        const char* name;
        QByteArray document;
        QString judged;
    };
    const QList<Case> cases{
        {"nested to the deepest level", feedAround(nested(Appcast::maximumDepth - 3)), chosen},
        {"one level deeper", feedAround(nested(Appcast::maximumDepth - 2)),
         refused + QStringLiteral("The update feed nests its elements too deeply.")},
        {"the most attributes on one element", feedAround(attributes(Appcast::maximumAttributes)), chosen},
        {"one attribute more", feedAround(attributes(Appcast::maximumAttributes + 1)),
         refused + QString::fromUtf8(Appcast::attributesReason)},
        // The rss element declares the first namespace.
        {"the most namespace declarations", feedAround(declaring(Appcast::maximumNamespaceDeclarations - 1)),
         chosen},
        {"one declaration more", feedAround(declaring(Appcast::maximumNamespaceDeclarations)),
         refused + QString::fromUtf8(Appcast::declarationsReason)},
        {"the most elements", feedAround(repeatedMarkup("<x/>", Appcast::maximumElements - 5)), chosen},
        {"one element more", feedAround(repeatedMarkup("<x/>", Appcast::maximumElements - 4)),
         refused + QString::fromUtf8(Appcast::elementsReason)},
        {"the largest document", sized(Appcast::maximumBytes), chosen},
        {"one byte more", sized(Appcast::maximumBytes + 1),
         refused + QStringLiteral("The update feed is too large.")},
        // Cut to its limit, the longer field would read as a valid version.
        {"the longest field", feedAround({}, spacedVersion(longestField)), chosen},
        {"one character longer", feedAround({}, spacedVersion(longestField + 1)), noUpdate},
        {"the longest version", feedAround({}, longestVersion), QStringLiteral("release ") + longestVersion},
        {"one digit longer", feedAround({}, longestVersion + '9'), noUpdate},
        {"the largest archive", feedAround({}, "58", QByteArray::number(Appcast::maximumArchiveBytes)),
         chosen},
        {"one byte larger", feedAround({}, "58", QByteArray::number(Appcast::maximumArchiveBytes + 1)),
         QStringLiteral("invalid: The newest release states an impossible archive length.")},
        // Replaced, never cut: an address must not come out as one the feed's own resolves.
        {"the longest address", feedAround({}, "58", "1000", longestAddress), chosen},
        {"one character longer", feedAround({}, "58", "1000", longestAddress + 'a'),
         QStringLiteral("invalid: The newest release has no secure download address.")},
    };
    for (const Case& edge : cases)
        EXPECT_EQ(judgedFeed(edge.document).toStdString(), edge.judged.toStdString()) << edge.name;
}

TEST(AppcastTest, HostileDocumentsAreRefusedWithAReason)
{
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                              "<rss><channel><item><title>&b;</title></item></channel></rss>";
    const QByteArray whole = test::appcastText({release(QStringLiteral("58"))});
    for (const QByteArray& document :
         {laughs, whole.left(whole.size() / 2), QByteArray(), QByteArray("<feed><entry/></feed>"),
          QByteArray("<rss><channel><title>&undeclared;</title></channel></rss>"),
          QByteArray("<rss><channel><title>caf\xe9</title></channel></rss>")}) {
        QString reason;
        EXPECT_FALSE(Appcast::parse(document, &reason)) << document.left(80).toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
}

// Feeds under the size limit built to make the XML reader slow (its time grows with the square of
// the attributes on one element and with the declarations in scope): each is judged at once.
TEST(AppcastTest, FeedsShapedToBeSlowAreRefusedAtOnce)
{
    const auto item = [](const QByteArray& inside) {
        return "<rss><channel><item>" + inside + "</item></channel></rss>";
    };
    struct Case {
        const char* name;
        QByteArray document;
        const char* reason;
    };
    const QList<Case> cases{
        {"1.8 MB of attributes", item("<enclosure" + repeatedMarkup(" a#=\"x\"", 160000) + "/>"),
         Appcast::attributesReason},
        {"1.9 MB of nested declarations", item(repeatedMarkup("<x xmlns:n#=\"urn:n\">", 80000)),
         Appcast::declarationsReason},
    };
    for (const Case& hostile : cases) {
        SCOPED_TRACE(hostile.name);
        ASSERT_LE(hostile.document.size(), Appcast::maximumBytes);
        QString reason;
        const double before = test::threadCpuMilliseconds();
        EXPECT_FALSE(Appcast::parse(hostile.document, &reason));
        EXPECT_LT(test::threadCpuMilliseconds() - before, 100);
        EXPECT_EQ(reason, QString::fromUtf8(hostile.reason));
    }
    // Quoted values may hold what looks like markup; only real attributes count.
    Release quoted = release(QStringLiteral("58"));
    quoted.url = QStringLiteral("https://cdn.example.com/a=b=c=d/") + QString(40, u'=');
    EXPECT_EQ(std::get<platform::UpdateItem>(choose({quoted})).versionString, QStringLiteral("58"));
}

TEST(AppcastReaderTest, AFeedIsJudgedOffTheMainThreadWithinItsOwnDeadline)
{
    platform::ManualScheduler scheduler;
    std::optional<std::thread::id> thread;
    double cpu = -1;
    simulated_mac::AppcastReader reader(
        scheduler, [&](const QByteArray& document, QString* reason, const std::atomic<bool>& cancelled) {
            thread = std::this_thread::get_id();
            const double before = test::threadCpuMilliseconds();
            auto appcast = Appcast::parse(document, reason, &cancelled);
            cpu = test::threadCpuMilliseconds() - before;
            return appcast;
        });
    QByteArray attributes;
    for (int i = 0; i < 40000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"x\"";
    std::optional<simulated_mac::AppcastReader::Result> result;
    reader.read("<rss><channel><item><enclosure" + attributes + "/></item></channel></rss>",
                [&](simulated_mac::AppcastReader::Result answer) { result = std::move(answer); });
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }, [&] { scheduler.runUntilIdle(); }));
    EXPECT_NE(thread, std::this_thread::get_id());
    EXPECT_LT(cpu, 100);
    EXPECT_FALSE(result->appcast);
    EXPECT_EQ(result->reason, QString::fromUtf8(Appcast::attributesReason));

    // A reading that does not end is given up at the deadline, and told to stop.
    std::atomic<bool> told = false;
    simulated_mac::AppcastReader stuck(scheduler,
                                  [&](const QByteArray&, QString*, const std::atomic<bool>& cancelled) {
                                      while (!cancelled)
                                          std::this_thread::yield();
                                      told = true;
                                      return std::optional<Appcast>();
                                  });
    result.reset();
    stuck.read("<rss/>", [&](simulated_mac::AppcastReader::Result answer) { result = std::move(answer); });
    scheduler.fastForwardBy(platform::seconds(simulated_mac::AppcastReader::deadlineSeconds - 1));
    EXPECT_FALSE(result);
    scheduler.fastForwardBy(platform::seconds(1));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->reason, QString::fromUtf8(simulated_mac::AppcastReader::tooSlowReason));
    ASSERT_TRUE(test::spinUntil([&] { return told.load(); }));
}

} // namespace
} // namespace velmor
