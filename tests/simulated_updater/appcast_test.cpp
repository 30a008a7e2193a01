#include "platform/simulated/updater/appcast.h"
#include "simulated_updater/appcast_text.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

using platform::Appcast;
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
        [](Release& r) { r.length = QStringLiteral("3000000000"); },
        [](Release& r) { r.signature = QString::fromLatin1(QByteArray(63, 's').toBase64()); },
    };
    for (const auto& change : changes) {
        Release newest = release(QStringLiteral("60"));
        change(newest);
        EXPECT_TRUE(
            std::holds_alternative<Appcast::InvalidRelease>(choose({release(QStringLiteral("58")), newest})));
    }
}

TEST(AppcastTest, HostileDocumentsAreRefusedWithAReason)
{
    QByteArray deep = "<rss><channel>";
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    const QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                              "<rss><channel><item><title>&b;</title></item></channel></rss>";
    const QByteArray whole = test::appcastText({release(QStringLiteral("58"))});
    for (const QByteArray& document :
         {laughs, deep, whole.left(whole.size() / 2), QByteArray(), QByteArray("<feed><entry/></feed>"),
          QByteArray("<rss><channel><title>&undeclared;</title></channel></rss>")}) {
        QString reason;
        EXPECT_FALSE(Appcast::parse(document, &reason)) << document.left(80).toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
    // A huge field is never cut down to something that looks valid.
    Release padded = release(QStringLiteral("58"));
    padded.version = QString(5000, u'9');
    EXPECT_TRUE(std::holds_alternative<Appcast::NoUpdate>(choose({padded})));
}

} // namespace
} // namespace velmor
