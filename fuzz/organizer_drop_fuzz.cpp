// What may be dropped on the organizer's areas, from its own cards or any other app: URLs or
// text. A drop names an app only when it is exactly one card's payload for an app the organizer
// lists that is not Apple's. Input: one option byte (bit 0: the drop has text), then known bundle
// identifiers, dropped URLs and the text, as chunks; an empty chunk ends the known identifiers and
// another the URLs.

#include "fuzz_input.h"
#include "fuzz_target.h"
#include "settings_window/tray_areas_block.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_organizer_drop.h"

#include <QUrl>

#include <cstdlib>

using namespace velmor;

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

VELMOR_FUZZ_HARNESS(organizer_drop)
{
    fuzz::FuzzInput input(data, size);
    const bool hasText = input.flag();
    QSet<QString> known;
    for (QString id = input.text(); !id.isEmpty() && !input.atEnd(); id = input.text())
        known.insert(id);
    QList<QUrl> urls;
    for (QString url = input.text(); !url.isEmpty() && !input.atEnd(); url = input.text())
        urls.append(QUrl(url));
    const QString text = QString::fromUtf8(input.rest());

    const QStringList strings = TrayAreasBlock::droppedStrings(urls, hasText, text);
    check(urls.isEmpty() ? strings.size() == (hasText ? 1 : 0) : strings.size() == urls.size());
    for (const QString& dropped : strings) {
        const auto bundleID = TrayOrganizerDrop::bundleID(dropped, known);
        if (!bundleID)
            continue;
        check(known.contains(*bundleID) && !isAppleBundleID(*bundleID));
        check(TrayOrganizerDrop::payload(*bundleID) == dropped);
        check(dropped.toUtf8().size() <= TrayOrganizerDrop::maximumPayloadBytes);
    }
    // Every card's own payload is taken back as its app, unless the app is Apple's or too long.
    for (const QString& id : known) {
        const QString payload = TrayOrganizerDrop::payload(id);
        const bool taken = TrayOrganizerDrop::bundleID(payload, known) == id;
        check(taken == (!id.isEmpty() && !isAppleBundleID(id) &&
                        payload.toUtf8().size() <= TrayOrganizerDrop::maximumPayloadBytes));
    }
    return 0;
}
