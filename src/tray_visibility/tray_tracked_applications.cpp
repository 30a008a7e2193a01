#include "tray_visibility/tray_tracked_applications.h"

#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "tray_visibility/apple_bundle_id.h"

#include <QDir>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

namespace velmor {
namespace {

const QString kIsAllowed = QStringLiteral("isAllowed");
const QString kLocation = QStringLiteral("location");
const QString kMenuItemLocations = QStringLiteral("menuItemLocations");
const QString kBundle = QStringLiteral("bundle");
const QString kAdhocBinary = QStringLiteral("adhocBinary");
const QString kFirstMember = QStringLiteral("_0");
const QString kRelative = QStringLiteral("relative");
const QString kBase = QStringLiteral("base");
const QString kLocalhost = QStringLiteral("localhost");
const QString kFileScheme = QStringLiteral("file");

const char* const kRowIDKey = "rowID";
const char* const kOriginalKey = "original";
const char* const kAppliedKey = "applied";

using Failure = TrayTrackedApplications::Failure;

[[noreturn]] void malformed()
{
    throw Failure(Failure::Case::malformed);
}

bool isNonEmptyDictionary(const PlistNode& node)
{
    return node.isDictionary() && node.count() > 0;
}

bool isNonEmptyString(const PlistNode& node)
{
    const auto text = node.toString();
    return text && !text->isEmpty();
}

void validateLocation(const PlistNode& location)
{
    const PlistNode bundle = location.value(kBundle);
    if (bundle.isValid() && !(isNonEmptyDictionary(bundle) && isNonEmptyString(bundle.value(kFirstMember))))
        malformed();
    const PlistNode adhoc = location.value(kAdhocBinary);
    if (!adhoc.isValid())
        return;
    if (!isNonEmptyDictionary(adhoc))
        malformed();
    const PlistNode binary = adhoc.value(kFirstMember);
    if (!isNonEmptyDictionary(binary) || !isNonEmptyString(binary.value(kRelative)))
        malformed();
}

} // namespace

// Named rather than anonymous: List::Parsed holds them, and a type with internal linkage inside
// a class of the library's is an error wherever this file is compiled together with others.
namespace tracked_rows {

struct Row {
    PlistNode key;
    PlistNode value;
    QString identity;

    bool allowed() const { return *value.value(kIsAllowed).toBool(); }
    void setAllowed(bool allowed) { value.value(kIsAllowed).assignBool(allowed); }
};

// The parsed list; the rows point into the document, which is edited in place and written back.
struct Decoded {
    PropertyList document;
    std::vector<Row> rows;

    QByteArray encode() const { return document.toBinary(); }
};

} // namespace tracked_rows

namespace {

using tracked_rows::Decoded;
using tracked_rows::Row;

Decoded decode(const QByteArray& data)
{
    Decoded decoded{PropertyList::decode(data), {}};
    const PlistNode root = decoded.document.root();
    if (!root.isArray() || root.count() % 2 != 0)
        malformed();
    const QList<PlistNode> elements = root.elements();
    const int rowCount = root.count() / 2;
    decoded.rows.reserve(static_cast<size_t>(rowCount));
    QSet<QString> identities;
    identities.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i) {
        const PlistNode key = elements[2 * i];
        const PlistNode value = elements[2 * i + 1];
        if (!isNonEmptyDictionary(key) || !isNonEmptyDictionary(value))
            malformed();
        if (!value.value(kIsAllowed).toBool())
            malformed();
        validateLocation(key);
        const PlistNode location = value.value(kLocation);
        if (location.isValid()) {
            if (!location.isDictionary())
                malformed();
            validateLocation(location);
        }
        const PlistNode menuItems = value.value(kMenuItemLocations);
        if (menuItems.isValid()) {
            if (!menuItems.isArray())
                malformed();
            for (const PlistNode& item : menuItems.elements()) {
                if (!item.isDictionary())
                    malformed();
                validateLocation(item);
            }
        }
        QString identity = QString::fromUtf8(TrayTrackedApplications::canonical(key));
        if (identities.contains(identity))
            throw Failure(Failure::Case::duplicateIdentity);
        identities.insert(identity);
        decoded.rows.push_back(Row{key, value, std::move(identity)});
    }
    return decoded;
}

// Identity -> "isAllowed" of every row.
QHash<QString, bool> flagsOf(const Decoded& decoded)
{
    QHash<QString, bool> result;
    result.reserve(static_cast<qsizetype>(decoded.rows.size()));
    for (const Row& row : decoded.rows)
        result.insert(row.identity, row.allowed());
    return result;
}

// Whether every desired row that differs from `before` has its flag in `observed`.
bool readsBack(const std::vector<Row>& desired, const QHash<QString, bool>& before,
               const QHash<QString, bool>& observed)
{
    for (const Row& row : desired) {
        const bool allowed = row.allowed();
        const auto original = before.constFind(row.identity);
        if (original != before.cend() && *original == allowed)
            continue;
        const auto seen = observed.constFind(row.identity);
        if (seen == observed.cend() || *seen != allowed)
            return false;
    }
    return true;
}

// Executable path -> the running bundles with that executable.
QHash<QString, QSet<QString>> bundlesByExecutable(const TrayTrackedApplications::Executables& running)
{
    QHash<QString, QSet<QString>> result;
    for (auto it = running.cbegin(); it != running.cend(); ++it) {
        for (const QString& path : it.value()) {
            if (const auto normalized = TrayTrackedApplications::normalizePath(path))
                result[*normalized].insert(it.key());
        }
    }
    return result;
}

// The path an "adhocBinary" location names, unless it is relative to a base we cannot resolve.
std::optional<QString> adhocPath(const PlistNode& location)
{
    const PlistNode adhoc = location.value(kAdhocBinary);
    if (!adhoc.isValid())
        return std::nullopt;
    const PlistNode binary = adhoc.value(kFirstMember);
    if (binary.contains(kBase))
        return std::nullopt;
    return TrayTrackedApplications::normalizePath(*binary.value(kRelative).toString());
}

std::optional<QString> bundleOf(const PlistNode& location)
{
    const PlistNode bundle = location.value(kBundle);
    if (!bundle.isValid())
        return std::nullopt;
    return bundle.value(kFirstMember).toString();
}

QByteArray frame(char tag, const QByteArray& body)
{
    QByteArray result;
    result.reserve(body.size() + 12);
    result.append(tag);
    result.append(QByteArray::number(body.size()));
    result.append(':');
    result.append(body);
    return result;
}

// The shortest digits that read back as the same double, in fixed notation unless the value is
// tiny or beyond the range where every integer is exact; `fraction` adds ".0" to a whole number.
QByteArray shortestDecimal(double value, bool fraction)
{
    char buffer[400];
    char* const end = buffer + sizeof buffer;
    if (!std::isfinite(value))
        return QByteArray(buffer, std::to_chars(buffer, end, value).ptr - buffer);
    const char* scientificEnd = std::to_chars(buffer, end, value, std::chars_format::scientific).ptr;
    const QByteArray scientific(buffer, scientificEnd - buffer);
    const int exponent = scientific.mid(scientific.indexOf('e') + 1).toInt();
    constexpr double largestExactInteger = 9007199254740992.0;
    if (value != 0 && (exponent < -4 || std::fabs(value) > largestExactInteger))
        return scientific;
    QByteArray fixed(buffer, std::to_chars(buffer, end, value, std::chars_format::fixed).ptr - buffer);
    if (fraction && !fixed.contains('.'))
        fixed.append(".0");
    return fixed;
}

} // namespace

QString TrayTrackedApplications::Failure::description() const
{
    return QStringLiteral("The operation couldn’t be completed.");
}

Json TrayTrackedApplications::Change::toJson() const
{
    Json json = Json::object();
    json[kRowIDKey] = json::toStd(rowID);
    json[kOriginalKey] = original;
    json[kAppliedKey] = applied;
    return json;
}

TrayTrackedApplications::Change TrayTrackedApplications::Change::fromJson(const Json& json)
{
    const auto member = [&json](const char* key, bool (Json::*hasType)() const noexcept) -> const Json& {
        if (!json.is_object() || !json.contains(key) || !(json.at(key).*hasType)())
            throw SystemError(
                SystemError::Kind::Parse,
                QStringLiteral("The recovery record has no valid “%1”.").arg(QLatin1String(key)));
        return json.at(key);
    };
    Change change;
    change.rowID = json::toQString(member(kRowIDKey, &Json::is_string).get<std::string>());
    change.original = member(kOriginalKey, &Json::is_boolean).get<bool>();
    change.applied = member(kAppliedKey, &Json::is_boolean).get<bool>();
    return change;
}

QByteArray TrayTrackedApplications::canonical(const PlistNode& value)
{
    return canonicalAt(value, 0);
}

// Decoded lists nest no deeper than the property list's limit; one built deeper in code is not a
// list the system could have written.
QByteArray TrayTrackedApplications::canonicalAt(const PlistNode& value, int depth)
{
    if ((value.isDictionary() || value.isArray()) && depth >= PropertyList::maximumDepth)
        malformed();
    switch (value.type()) {
    case PlistNode::Type::Dictionary: {
        std::vector<std::pair<QByteArray, PlistNode>> members;
        members.reserve(static_cast<size_t>(value.count()));
        value.forEachMember(
            [&](const QString& key, PlistNode member) { members.emplace_back(key.toUtf8(), member); });
        // Byte order of UTF-8 is code point order.
        std::sort(members.begin(), members.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        QByteArray body;
        for (const auto& [key, member] : members) {
            body.append(frame('s', key));
            body.append(canonicalAt(member, depth + 1));
        }
        return frame('d', body);
    }
    case PlistNode::Type::Array: {
        QByteArray body;
        for (const PlistNode& element : value.elements())
            body.append(canonicalAt(element, depth + 1));
        return frame('a', body);
    }
    case PlistNode::Type::String:
        return frame('s', value.toString()->toUtf8());
    case PlistNode::Type::Data:
        return frame('b', value.toData()->toBase64());
    case PlistNode::Type::Date:
        return frame('t', shortestDecimal(*value.toDate(), true));
    case PlistNode::Type::Boolean:
        return frame('q', *value.toBool() ? QByteArrayLiteral("1") : QByteArrayLiteral("0"));
    case PlistNode::Type::Integer:
        return frame('n', QByteArray::number(*value.toInteger()));
    case PlistNode::Type::Real:
        return frame('n', shortestDecimal(*value.toReal(), false));
    case PlistNode::Type::Uid:
    case PlistNode::Type::Invalid:
        break;
    }
    malformed();
}

std::optional<QString> TrayTrackedApplications::normalizePath(const QString& pathOrUrl)
{
    if (pathOrUrl.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(pathOrUrl);
    const QUrl url(pathOrUrl, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(kFileScheme, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(kLocalhost, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return QDir::cleanPath(path);
}

struct TrayTrackedApplications::List::Parsed {
    Decoded decoded;
    // "isAllowed" of every row as parsed, in row order.
    std::vector<bool> parsedFlags;
    mutable std::optional<QByteArray> encoded;
};

TrayTrackedApplications::List::List(QByteArray data)
    : m_source(std::move(data)), m_parsed(std::make_unique<Parsed>(Parsed{decode(m_source), {}, {}}))
{
    m_parsed->parsedFlags.reserve(m_parsed->decoded.rows.size());
    for (const Row& row : m_parsed->decoded.rows)
        m_parsed->parsedFlags.push_back(row.allowed());
}

TrayTrackedApplications::List::~List() = default;
TrayTrackedApplications::List::List(List&&) noexcept = default;
TrayTrackedApplications::List& TrayTrackedApplications::List::operator=(List&&) noexcept = default;

void TrayTrackedApplications::List::restore(const QList<Change>& changes)
{
    QHash<QString, Change> byRow;
    byRow.reserve(changes.size());
    for (const Change& change : changes) {
        if (byRow.contains(change.rowID))
            throw Failure(Failure::Case::duplicateIdentity);
        byRow.insert(change.rowID, change);
    }
    for (Row& row : m_parsed->decoded.rows) {
        const auto it = byRow.constFind(row.identity);
        if (it == byRow.cend() || row.allowed() != it->applied || it->original == it->applied)
            continue;
        row.setAllowed(it->original);
        m_parsed->encoded.reset();
    }
}

TrayTrackedApplications::Result
TrayTrackedApplications::List::apply(const QSet<QString>& hiddenBundleIDs,
                                     const Executables& runningExecutables, const QString& ownBundleID,
                                     const std::optional<QSet<QString>>& visibleBundleIDs)
{
    QSet<QString> known = hiddenBundleIDs;
    for (auto it = runningExecutables.cbegin(); it != runningExecutables.cend(); ++it)
        known.insert(it.key());
    if (visibleBundleIDs)
        known.unite(*visibleBundleIDs);
    const auto byExecutable = bundlesByExecutable(runningExecutables);

    Result result;
    for (Row& row : m_parsed->decoded.rows) {
        bool protectedRow = false;
        QSet<QString> all;
        QSet<QString> menu;
        const auto name = [&](const QString& bundleID, bool menuItem) {
            all.insert(bundleID);
            if (menuItem)
                menu.insert(bundleID);
        };
        const auto visit = [&](const PlistNode& location, bool menuItem) {
            if (const auto bundle = bundleOf(location)) {
                if (*bundle == ownBundleID || isAppleBundleID(*bundle))
                    protectedRow = true;
                if (known.contains(*bundle))
                    name(*bundle, menuItem);
            }
            if (const auto path = adhocPath(location)) {
                const auto owners = byExecutable.constFind(*path);
                if (owners != byExecutable.cend()) {
                    for (const QString& owner : *owners)
                        name(owner, menuItem);
                }
            }
        };
        visit(row.key, false);
        const PlistNode location = row.value.value(kLocation);
        if (location.isDictionary())
            visit(location, false);
        const PlistNode menuItems = row.value.value(kMenuItemLocations);
        for (const PlistNode& item : menuItems.elements())
            visit(item, true);
        result.matchedBundleIDs.unite(all);

        const QSet<QString>& owners = visibleBundleIDs && !menu.isEmpty() ? menu : all;
        const bool keep = owners.isEmpty() || protectedRow || all.contains(ownBundleID) ||
                          (visibleBundleIDs && all.intersects(*visibleBundleIDs)) ||
                          std::any_of(owners.cbegin(), owners.cend(),
                                      [&](const QString& owner) {
                                          return isAppleBundleID(owner) || !hiddenBundleIDs.contains(owner);
                                      }) ||
                          !row.allowed();
        if (keep)
            continue;
        result.changes.append(Change{row.identity, true, false});
        row.setAllowed(false);
        m_parsed->encoded.reset();
    }
    result.data = data();
    return result;
}

bool TrayTrackedApplications::List::changed() const
{
    const std::vector<Row>& rows = m_parsed->decoded.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].allowed() != m_parsed->parsedFlags[i])
            return true;
    }
    return false;
}

QByteArray TrayTrackedApplications::List::data() const
{
    if (!changed())
        return m_source;
    if (!m_parsed->encoded)
        m_parsed->encoded = m_parsed->decoded.encode();
    return *m_parsed->encoded;
}

bool TrayTrackedApplications::List::verifies(const QByteArray& from, const QByteArray& observed) const
{
    if (observed == data())
        return true;
    QHash<QString, bool> before;
    if (from == m_source) {
        const std::vector<Row>& rows = m_parsed->decoded.rows;
        before.reserve(static_cast<qsizetype>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i)
            before.insert(rows[i].identity, m_parsed->parsedFlags[i]);
    } else {
        before = flagsOf(decode(from));
    }
    return readsBack(m_parsed->decoded.rows, before, flagsOf(decode(observed)));
}

TrayTrackedApplications::Result
TrayTrackedApplications::applying(const QSet<QString>& hiddenBundleIDs, const Executables& runningExecutables,
                                  const QString& ownBundleID, const QByteArray& list,
                                  const std::optional<QSet<QString>>& visibleBundleIDs)
{
    return List(list).apply(hiddenBundleIDs, runningExecutables, ownBundleID, visibleBundleIDs);
}

QByteArray TrayTrackedApplications::restoring(const QList<Change>& changes, const QByteArray& list)
{
    List parsed(list);
    parsed.restore(changes);
    return parsed.data();
}

bool TrayTrackedApplications::verifiesVisibilityChange(const QByteArray& from, const QByteArray& to,
                                                       const QByteArray& observed)
{
    const QHash<QString, bool> before = flagsOf(decode(from));
    const Decoded desired = decode(to);
    return readsBack(desired.rows, before, flagsOf(decode(observed)));
}

QSet<QString> TrayTrackedApplications::menuBundleIDs(const QByteArray& list,
                                                     const Executables& runningExecutables,
                                                     const QString& ownBundleID)
{
    const auto byExecutable = bundlesByExecutable(runningExecutables);
    const Decoded decoded = decode(list);
    QSet<QString> result;
    const auto visit = [&](const PlistNode& location) {
        if (const auto bundle = bundleOf(location); bundle && runningExecutables.contains(*bundle))
            result.insert(*bundle);
        if (const auto path = adhocPath(location)) {
            const QSet<QString> owners = byExecutable.value(*path);
            if (owners.size() == 1)
                result.insert(*owners.cbegin());
        }
    };
    for (const Row& row : decoded.rows) {
        const PlistNode menuItems = row.value.value(kMenuItemLocations);
        if (menuItems.count() > 0) {
            for (const PlistNode& item : menuItems.elements())
                visit(item);
            continue;
        }
        visit(row.key);
        const PlistNode location = row.value.value(kLocation);
        if (location.isDictionary())
            visit(location);
    }
    result.remove(ownBundleID);
    for (auto it = result.begin(); it != result.end();) {
        it = isAppleBundleID(*it) ? result.erase(it) : std::next(it);
    }
    return result;
}

} // namespace velmor
