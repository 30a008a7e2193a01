#include "simulated_mac/simulated_preference_domains.h"

#include "foundation/private_files.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "simulated_mac/simulated_home.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sys/stat.h>

#include <cmath>
#include <initializer_list>

namespace velmor::simulated_mac {
namespace {

const QString bundleMember = QStringLiteral("bundle");
const QString adhocMember = QStringLiteral("adhocBinary");
const QString firstMember = QStringLiteral("_0");
const QString relativeMember = QStringLiteral("relative");
const QString baseMember = QStringLiteral("base");
const QString allowedMember = QStringLiteral("isAllowed");
const QString locationMember = QStringLiteral("location");
const QString menuItemLocationsMember = QStringLiteral("menuItemLocations");
const QString controlCenterBundle = QStringLiteral("com.apple.controlcenter");
const QString systemUIServerBundle = QStringLiteral("com.apple.systemuiserver");

// Seconds since 2001 of the dates the system stamped into its files before the run.
constexpr qint32 systemEpoch = 790000000;

PropertyList dictionary(std::initializer_list<std::pair<QString, PropertyList>> members)
{
    PropertyList result = PropertyList::dictionary();
    for (const auto& [key, value] : members)
        result.root().setEntry(key, value);
    return result;
}

PropertyList bundleLocation(const QString& bundleID)
{
    return dictionary({{bundleMember, dictionary({{firstMember, PropertyList::string(bundleID)}})}});
}

PropertyList adhocLocation(const QString& relative)
{
    return dictionary(
        {{adhocMember,
          dictionary({{firstMember, dictionary({{relativeMember, PropertyList::string(relative)}})}})}});
}

PropertyList rowLocation(const TrackedRowSeed& seed)
{
    if (seed.kind == TrackedRowKind::Bundle)
        return bundleLocation(seed.bundleID);
    // The system names bundled binaries by file URL and bare binaries by path.
    if (seed.bundleID.isEmpty())
        return adhocLocation(seed.executable);
    return adhocLocation(QUrl::fromLocalFile(seed.executable).toString(QUrl::FullyEncoded));
}

// A row value with the members the system keeps for its own use beside "isAllowed".
PropertyList rowValue(const PropertyList& location, int menuItems, quint64 reference)
{
    PropertyList value = PropertyList::dictionary();
    value.root().setBool(allowedMember, true);
    value.root().setEntry(locationMember, location);
    PropertyList items = PropertyList::array();
    for (int i = 0; i < menuItems; ++i)
        items.root().append(location);
    value.root().setEntry(menuItemLocationsMember, items);
    value.root().setEntry(QStringLiteral("lastSeen"), PropertyList::date(systemEpoch + 3600, 250000));
    value.root().setEntry(QStringLiteral("reference"), PropertyList::uid(reference));
    value.root().setEntry(QStringLiteral("launchCount"), PropertyList::integer(-3));
    return value;
}

void appendRow(PropertyList& rows, const TrackedRowSeed& seed)
{
    const PropertyList location = rowLocation(seed);
    rows.root().append(location);
    rows.root().append(rowValue(location, seed.menuItems, static_cast<quint64>(rows.root().count() / 2 + 1)));
}

std::optional<QString> locationBundle(PlistNode location)
{
    const auto bundle = location.value(bundleMember).value(firstMember).toString();
    if (!bundle || bundle->isEmpty())
        return std::nullopt;
    return bundle;
}

std::optional<QString> locationPath(PlistNode location)
{
    const PlistNode inner = location.value(adhocMember).value(firstMember);
    if (!inner.isDictionary() || inner.contains(baseMember))
        return std::nullopt;
    const auto relative = inner.value(relativeMember).toString();
    if (!relative)
        return std::nullopt;
    return SimulatedPreferenceDomains::normalizePath(*relative);
}

std::optional<double> numberValue(PlistNode node)
{
    if (const auto real = node.toReal(); real && std::isfinite(*real))
        return real;
    if (const auto integer = node.toInteger())
        return static_cast<double>(*integer);
    return std::nullopt;
}

} // namespace

TrackedRowNames::TrackedRowNames(const QList<TrackedRow>& rows)
{
    for (const TrackedRow& row : rows)
        add(row);
}

void TrackedRowNames::add(const TrackedRow& row)
{
    if (row.bundleID) {
        m_bundleIDs.insert(*row.bundleID);
        if (!row.allowed)
            m_offBundleIDs.insert(*row.bundleID);
    }
    if (row.executablePath) {
        m_paths.insert(*row.executablePath);
        if (!row.allowed)
            m_offPaths.insert(*row.executablePath);
    }
}

bool TrackedRowNames::names(const std::optional<QString>& bundleID, const QString& executablePath) const
{
    return (bundleID && m_bundleIDs.contains(*bundleID)) || m_paths.contains(QDir::cleanPath(executablePath));
}

bool TrackedRowNames::allows(const std::optional<QString>& bundleID, const QString& executablePath) const
{
    return !(bundleID && m_offBundleIDs.contains(*bundleID)) &&
           !m_offPaths.contains(QDir::cleanPath(executablePath));
}

SimulatedPreferenceDomains::SimulatedPreferenceDomains(QString home)
    : m_controlCenterPath(simulated_home::controlCenterDomainPath(home)),
      m_menuBarPath(simulated_home::menuBarDomainPath(home))
{}

std::optional<QString> SimulatedPreferenceDomains::normalizePath(const QString& relative)
{
    if (relative.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(relative);
    const QUrl url(relative, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("file"))
        return std::nullopt;
    if (!url.host().isEmpty() && url.host() != QLatin1String("localhost"))
        return std::nullopt;
    const QString path = url.path();
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return QDir::cleanPath(path);
}

void SimulatedPreferenceDomains::createMissing(const QList<TrackedRowSeed>& seeds,
                                               const QList<std::pair<QString, double>>& positions)
{
    if (!QFileInfo::exists(m_controlCenterPath)) {
        PropertyList rows = PropertyList::array();
        appendRow(rows, TrackedRowSeed{TrackedRowKind::Bundle, controlCenterBundle, {}, 2});
        appendRow(rows, TrackedRowSeed{TrackedRowKind::Bundle, systemUIServerBundle, {}, 1});
        for (const TrackedRowSeed& seed : seeds)
            appendRow(rows, seed);
        const PropertyList domain = dictionary({
            {QStringLiteral("ControlCenterSchemaVersion"), PropertyList::integer(2)},
            {simulated_home::trackedApplicationsKey, PropertyList::data(rows.toBinary())},
            {QStringLiteral("LastSyncDate"), PropertyList::date(systemEpoch)},
            {QStringLiteral("AppearanceOptions"),
             dictionary({{QStringLiteral("compactClock"), PropertyList::boolean(false)}})},
        });
        private_files::ensureDirectory(QFileInfo(m_controlCenterPath).absolutePath());
        private_files::writeAtomically(m_controlCenterPath, domain.toBinary());
    }
    if (!QFileInfo::exists(m_menuBarPath)) {
        PropertyList table = dictionary({
            {QStringLiteral("status:com.apple.controlcenter::BentoBox"), PropertyList::real(0)},
            {QStringLiteral("status:com.apple.controlcenter::Clock"), PropertyList::real(0)},
            {QStringLiteral("menuExtra:com.apple.menuextra.textinput"), PropertyList::real(12)},
        });
        for (const auto& [key, value] : positions)
            table.root().setReal(key, value);
        const PropertyList domain = dictionary({
            {simulated_home::preferredPositionsKey, table},
            {QStringLiteral("MenuBarSchemaVersion"), PropertyList::integer(1)},
            {QStringLiteral("LastLayoutDate"), PropertyList::date(systemEpoch)},
        });
        private_files::ensureDirectory(QFileInfo(m_menuBarPath).absolutePath());
        private_files::writeAtomically(m_menuBarPath, domain.toBinary());
    }
    m_seenStamp = stamp(m_controlCenterPath);
    try {
        m_seenBytes = RegularFile::read(m_controlCenterPath, PropertyList::maximumBytes);
    } catch (const SystemError&) {
        m_seenBytes.clear();
    }
}

std::optional<QList<TrackedRow>> SimulatedPreferenceDomains::parseTrackedRows(const QByteArray& domainBytes)
{
    try {
        const PropertyList domain = PropertyList::decode(domainBytes);
        const auto blob = domain.root().value(simulated_home::trackedApplicationsKey).toData();
        if (!blob)
            return std::nullopt;
        const PropertyList rows = PropertyList::decode(*blob);
        if (!rows.root().isArray() || rows.root().count() % 2 != 0)
            return std::nullopt;
        QList<TrackedRow> result;
        const QList<PlistNode> elements = rows.root().elements();
        for (qsizetype i = 0; i + 1 < elements.size(); i += 2) {
            const PlistNode key = elements[i];
            const auto allowed = elements[i + 1].value(allowedMember).toBool();
            // The control center skips rows it cannot understand rather than give up on the list.
            if (!key.isDictionary() || !allowed)
                continue;
            result.append(TrackedRow{locationBundle(key), locationPath(key), *allowed});
        }
        return result;
    } catch (const SystemError&) {
        return std::nullopt;
    }
}

std::optional<QList<TrackedRow>> SimulatedPreferenceDomains::trackedRows() const
{
    try {
        return parseTrackedRows(RegularFile::read(m_controlCenterPath, PropertyList::maximumBytes));
    } catch (const SystemError&) {
        return std::nullopt;
    }
}

bool SimulatedPreferenceDomains::addTrackedRows(const QList<TrackedRowSeed>& seeds)
{
    if (seeds.isEmpty())
        return true;
    auto domain = readDocument(m_controlCenterPath);
    if (!domain)
        return false;
    const auto blob = domain->root().value(simulated_home::trackedApplicationsKey).toData();
    if (!blob)
        return false;
    try {
        PropertyList rows = PropertyList::decode(*blob);
        if (!rows.root().isArray() || rows.root().count() % 2 != 0)
            return false;
        for (const TrackedRowSeed& seed : seeds)
            appendRow(rows, seed);
        domain->root().setEntry(simulated_home::trackedApplicationsKey, PropertyList::data(rows.toBinary()));
    } catch (const SystemError&) {
        return false;
    }
    return writeDocument(m_controlCenterPath, *domain);
}

std::optional<QHash<QString, double>> SimulatedPreferenceDomains::positions() const
{
    const auto domain = readDocument(m_menuBarPath);
    if (!domain)
        return std::nullopt;
    const PlistNode table = domain->root().value(simulated_home::preferredPositionsKey);
    if (!table.isDictionary())
        return std::nullopt;
    QHash<QString, double> positions;
    table.forEachMember([&](const QString& key, PlistNode value) {
        if (const auto number = numberValue(value))
            positions.insert(key, *number);
    });
    return positions;
}

std::optional<double> SimulatedPreferenceDomains::position(const QString& key) const
{
    const auto stored = positions();
    if (!stored)
        return std::nullopt;
    const auto found = stored->constFind(key);
    return found == stored->cend() ? std::nullopt : std::optional<double>(*found);
}

std::optional<double> SimulatedPreferenceDomains::largestPosition() const
{
    const auto stored = positions();
    if (!stored)
        return std::nullopt;
    std::optional<double> largest;
    for (const double value : *stored)
        largest = largest ? std::max(*largest, value) : value;
    return largest;
}

bool SimulatedPreferenceDomains::setPositions(const QList<std::pair<QString, double>>& positions)
{
    if (positions.isEmpty())
        return true;
    auto domain = readDocument(m_menuBarPath);
    if (!domain)
        return false;
    for (const auto& [key, value] : positions) {
        if (!std::isfinite(value))
            return false;
    }
    if (!domain->root().contains(simulated_home::preferredPositionsKey))
        domain->root().setEntry(simulated_home::preferredPositionsKey, PropertyList::dictionary());
    PlistNode table = domain->root().value(simulated_home::preferredPositionsKey);
    if (!table.isDictionary())
        return false;
    for (const auto& [key, value] : positions)
        table.setReal(key, value);
    return writeDocument(m_menuBarPath, *domain);
}

bool SimulatedPreferenceDomains::removePositions(const QStringList& keys)
{
    auto domain = readDocument(m_menuBarPath);
    if (!domain)
        return false;
    PlistNode table = domain->root().value(simulated_home::preferredPositionsKey);
    if (!table.isDictionary())
        return true;
    bool removed = false;
    for (const QString& key : keys) {
        if (table.contains(key)) {
            table.remove(key);
            removed = true;
        }
    }
    return !removed || writeDocument(m_menuBarPath, *domain);
}

std::optional<QByteArray> SimulatedPreferenceDomains::takeControlCenterChange()
{
    const FileStamp current = stamp(m_controlCenterPath);
    if (current == m_seenStamp)
        return std::nullopt;
    m_seenStamp = current;
    QByteArray bytes;
    try {
        bytes = RegularFile::read(m_controlCenterPath, PropertyList::maximumBytes);
    } catch (const SystemError&) {
        bytes.clear();
    }
    if (bytes == m_seenBytes)
        return std::nullopt;
    m_seenBytes = bytes;
    return bytes;
}

SimulatedPreferenceDomains::FileStamp SimulatedPreferenceDomains::stamp(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return FileStamp{};
    return FileStamp{true,
                     static_cast<quint64>(info.st_dev),
                     static_cast<quint64>(info.st_ino),
                     static_cast<qint64>(info.st_size),
                     static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                     static_cast<qint64>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

std::optional<PropertyList> SimulatedPreferenceDomains::readDocument(const QString& path) const
{
    try {
        PropertyList document = PropertyList::decode(RegularFile::read(path, PropertyList::maximumBytes));
        if (!document.root().isDictionary())
            return std::nullopt;
        return document;
    } catch (const SystemError&) {
        return std::nullopt;
    }
}

bool SimulatedPreferenceDomains::writeDocument(const QString& path, const PropertyList& document)
{
    const bool watched = path == m_controlCenterPath;
    bool unseenEdit = false;
    if (watched) {
        try {
            unseenEdit = RegularFile::read(path, PropertyList::maximumBytes) != m_seenBytes;
        } catch (const SystemError&) {
            unseenEdit = true;
        }
    }
    const QByteArray bytes = document.toBinary();
    try {
        private_files::writeAtomically(path, bytes);
    } catch (const SystemError&) {
        return false;
    }
    // An edit from outside that was not noticed yet must still be noticed (with this write in
    // it), so only a write over what was already seen becomes the new seen state.
    if (watched && !unseenEdit) {
        m_seenStamp = stamp(path);
        m_seenBytes = bytes;
    }
    return true;
}

} // namespace velmor::simulated_mac
