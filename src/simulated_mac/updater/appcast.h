#pragma once

#include "platform/host.h"
#include "platform/updater_framework.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <atomic>
#include <optional>
#include <variant>

namespace velmor::simulated_mac {

// An RSS update feed: a channel of items, each a release with its build version, display version,
// minimum system version and an enclosure (archive address, length and Ed25519 signature). The
// release fields are elements or enclosure attributes with the update framework's prefix; the
// format is described in docs/updates.md. The feed comes from the network, so nothing in it is
// trusted: a document that is not UTF-8 or not well-formed, holds a DTD, nests too deeply or is
// shaped to make the reader slow is refused, and releases with an unusable version are left out.
class Appcast final {
public:
    // The release fields carry the prefix the update framework's feeds are always written with;
    // the namespace it stands for is the framework's business, so any declared one is accepted.
    static constexpr auto frameworkPrefix = "sparkle";
    // Larger feeds are refused while they arrive.
    static constexpr qint64 maximumBytes = 2 * 1024 * 1024;
    static constexpr int maximumDepth = 32;
    // The XML reader's work grows with the square of the attributes on one element and with the
    // namespace declarations in scope, so both are counted before it reads anything; a feed has a
    // handful of each and a few elements per release.
    static constexpr int maximumAttributes = 32;
    static constexpr int maximumNamespaceDeclarations = 32;
    static constexpr int maximumElements = 20000;
    // No archive of this app comes near it; larger declared lengths are refused unread.
    static constexpr qint64 maximumArchiveBytes = qint64(2) * 1024 * 1024 * 1024;
    static constexpr int signatureLength = 64;

    static constexpr auto notUtf8Reason = "The update feed is not UTF-8 text.";
    static constexpr auto attributesReason = "The update feed has an element with too many attributes.";
    static constexpr auto declarationsReason = "The update feed declares too many namespaces.";
    static constexpr auto elementsReason = "The update feed has too many elements.";

    // One release as the feed states it, before it is judged.
    struct Entry {
        QString version;
        QString displayVersion;
        QString minimumSystemVersion;
        QString url;
        QString length;
        QString signature;
    };

    // What a check makes of the feed.
    struct NoUpdate {};
    struct InvalidRelease {
        QString reason;
    };
    using Choice = std::variant<platform::UpdateItem, NoUpdate, InvalidRelease>;

    // Absent when the document is not an acceptable feed; `reason` then says why. A feed is UTF-8.
    // Setting `cancelled` (from any thread) ends the reading soon, as a refusal.
    static std::optional<Appcast> parse(const QByteArray& document, QString* reason = nullptr,
                                        const std::atomic<bool>* cancelled = nullptr);

    const QList<Entry>& entries() const { return m_entries; }

    // The newest release newer than `runningVersion` that `system` can run. Its enclosure must be
    // usable (an https address, relative ones resolved against `feedURL`, a length within bounds and
    // a 64-byte signature): a broken newest release is an error, never a reason to offer an older one.
    Choice choose(const QString& runningVersion, const platform::OperatingSystemVersion& system,
                  const QUrl& feedURL) const;

    // Dot-separated runs of ASCII digits.
    static bool isNumericVersion(const QString& version);
    // Compares numerically, component by component; a missing component counts as 0. Both
    // versions must be numeric.
    static int compareVersions(const QString& left, const QString& right);

private:
    QList<Entry> m_entries;
};

} // namespace velmor::simulated_mac
