// The update feed as a server could send it, and the choice made from it: whatever the feed says,
// the release offered is the newest one that is newer than the running build and that this system
// runs, and it is offered only when its enclosure is usable. Input: the running build version, a
// 0x1f, three bytes of system version, then the feed.

#include "fuzz_input.h"
#include "fuzz_target.h"
#include "simulated_mac/updater/appcast.h"
#include "simulated_mac/updater/archive_signature.h"

#include <cstdlib>

using namespace velmor;
using simulated_mac::Appcast;

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

// Version order is a total order: the same either way round, and transitive.
void checkOrder(const QString& a, const QString& b, const QString& c)
{
    if (!Appcast::isNumericVersion(a) || !Appcast::isNumericVersion(b) || !Appcast::isNumericVersion(c))
        return;
    const int ab = Appcast::compareVersions(a, b);
    check(ab == -Appcast::compareVersions(b, a));
    check(Appcast::compareVersions(a, a) == 0);
    if (ab <= 0 && Appcast::compareVersions(b, c) <= 0)
        check(Appcast::compareVersions(a, c) <= 0);
    // A missing component counts as 0.
    if (a.size() < 60)
        check(Appcast::compareVersions(a + QStringLiteral(".0"), a) == 0);
}

} // namespace

VELMOR_FUZZ_HARNESS(update_feed)
{
    fuzz::FuzzInput input(data, size);
    const QString running = input.text();
    const platform::OperatingSystemVersion system{input.byte() % 40, input.byte() % 10, input.byte() % 10};
    const QByteArray document = input.rest();
    const QString systemVersion =
        QStringLiteral("%1.%2.%3").arg(system.major).arg(system.minor).arg(system.patch);
    const QUrl feedURL(QStringLiteral("https://updates.example.com/tray/appcast.xml"));

    const auto appcast = Appcast::parse(document);
    if (!appcast)
        return 0;
    const QList<Appcast::Entry>& entries = appcast->entries();
    for (qsizetype i = 0; i + 2 < entries.size() && i < 8; ++i)
        checkOrder(entries[i].version, entries[i + 1].version, entries[i + 2].version);

    // The releases this build may be offered, told apart without the code under test's choice.
    const auto eligible = [&](const Appcast::Entry& entry) {
        return Appcast::isNumericVersion(running) && Appcast::isNumericVersion(entry.version) &&
               Appcast::compareVersions(entry.version, running) > 0 &&
               (entry.minimumSystemVersion.isEmpty() ||
                (Appcast::isNumericVersion(entry.minimumSystemVersion) &&
                 Appcast::compareVersions(entry.minimumSystemVersion, systemVersion) <= 0));
    };
    const Appcast::Entry* newest = nullptr;
    for (const Appcast::Entry& entry : entries) {
        if (eligible(entry) && (!newest || Appcast::compareVersions(entry.version, newest->version) > 0))
            newest = &entry;
    }

    const Appcast::Choice choice = appcast->choose(running, system, feedURL);
    if (std::holds_alternative<Appcast::NoUpdate>(choice)) {
        check(!newest);
        return 0;
    }
    check(newest != nullptr);
    if (std::holds_alternative<Appcast::InvalidRelease>(choice))
        return 0;
    const auto& item = std::get<platform::UpdateItem>(choice);
    check(Appcast::compareVersions(item.versionString, newest->version) == 0);
    check(Appcast::compareVersions(item.versionString, running) > 0);
    check(item.fileURL.isValid() && item.fileURL.scheme() == QLatin1String("https") &&
          !item.fileURL.host().isEmpty());
    check(item.contentLength >= 1 && item.contentLength <= Appcast::maximumArchiveBytes);
    check(simulated_mac::archive_signature::decodeBase64(item.edSignature, Appcast::signatureLength).has_value());
    check(!item.displayVersionString.isEmpty());
    return 0;
}
