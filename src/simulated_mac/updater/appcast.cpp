#include "simulated_mac/updater/appcast.h"

#include "simulated_mac/updater/archive_signature.h"

#include <QStringDecoder>
#include <QXmlStreamReader>

namespace velmor::simulated_mac {
namespace {

constexpr qsizetype maximumFieldLength = 4096;
constexpr qsizetype maximumVersionLength = 64;

constexpr auto rssElement = "rss";
constexpr auto channelElement = "channel";
constexpr auto itemElement = "item";
constexpr auto enclosureElement = "enclosure";
constexpr auto versionName = "version";
constexpr auto shortVersionName = "shortVersionString";
constexpr auto minimumSystemVersionName = "minimumSystemVersion";
constexpr auto signatureName = "edSignature";
constexpr auto urlAttribute = "url";
constexpr auto lengthAttribute = "length";
constexpr auto secureScheme = "https";

const QString tooLargeReason = QStringLiteral("The update feed is too large.");
const QString cancelledReason = QStringLiteral("The update feed was not read to its end.");
const QString notWellFormedReason = QStringLiteral("The update feed is not well-formed XML: %1");
const QString documentTypeReason = QStringLiteral("The update feed holds a document type definition.");
const QString tooDeepReason = QStringLiteral("The update feed nests its elements too deeply.");
const QString notRssReason = QStringLiteral("The update feed is not an RSS document.");
const QString addressReason = QStringLiteral("The newest release has no secure download address.");
const QString lengthReason = QStringLiteral("The newest release states an impossible archive length.");
const QString signatureReason = QStringLiteral("The newest release has no valid signature.");

// An over-long value is replaced by one that no field accepts, never cut to something valid. (Not
// "?": as an address it is a relative reference, which resolves to the feed's own address.)
QString bounded(QStringView text)
{
    return text.size() > maximumFieldLength ? QStringLiteral("\u0001") : text.trimmed().toString();
}

bool isCancelled(const std::atomic<bool>* cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// Why the document's shape is refused, or nothing: one pass over the text that finds where tags
// start and end and counts what the XML reader would make slow. Whether the tags are well-formed
// is the reader's business afterwards.
std::optional<QString> shapeProblem(QStringView text, const std::atomic<bool>* cancelled)
{
    const qsizetype end = text.size();
    qsizetype at = 0;
    qsizetype elements = 0;
    qsizetype declarations = 0;
    const auto skipPast = [&](QStringView terminator) {
        const qsizetype found = text.indexOf(terminator, at);
        at = found < 0 ? end : found + terminator.size();
    };
    while (at < end) {
        if (isCancelled(cancelled))
            return cancelledReason;
        const qsizetype open = text.indexOf(u'<', at);
        if (open < 0)
            break;
        at = open + 1;
        const QStringView rest = text.mid(at);
        if (rest.startsWith(u"!--")) {
            skipPast(u"-->");
        } else if (rest.startsWith(u"![CDATA[")) {
            skipPast(u"]]>");
        } else if (rest.startsWith(u'?')) {
            skipPast(u"?>");
        } else if (rest.startsWith(u'!')) {
            return documentTypeReason;
        } else if (rest.startsWith(u'/')) {
            skipPast(u">");
        } else {
            if (++elements > Appcast::maximumElements)
                return QString::fromUtf8(Appcast::elementsReason);
            // Every attribute has its "=" outside quotes; a declaration's name starts with "xmlns".
            int attributes = 0;
            QChar quote;
            bool afterSpace = false;
            for (; at < end && (!quote.isNull() || text[at] != u'>'); ++at) {
                const QChar c = text[at];
                if (!quote.isNull()) {
                    quote = c == quote ? QChar() : quote;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    if (++attributes > Appcast::maximumAttributes)
                        return QString::fromUtf8(Appcast::attributesReason);
                } else if (c.isSpace()) {
                    afterSpace = true;
                    continue;
                } else if (afterSpace && text.mid(at).startsWith(u"xmlns") &&
                           ++declarations > Appcast::maximumNamespaceDeclarations) {
                    return QString::fromUtf8(Appcast::declarationsReason);
                }
                afterSpace = false;
            }
            ++at;
        }
    }
    return std::nullopt;
}

QStringView trimmedZeros(QStringView component)
{
    qsizetype start = 0;
    while (start + 1 < component.size() && component[start] == u'0')
        ++start;
    return component.mid(start);
}

} // namespace

std::optional<Appcast> Appcast::parse(const QByteArray& document, QString* reason,
                                      const std::atomic<bool>* cancelled)
{
    const auto refuse = [reason](const QString& why) -> std::optional<Appcast> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const QLatin1String fw(frameworkPrefix);
    const auto frameworkAttribute = [&fw](const QXmlStreamAttributes& attributes, const char* name) {
        for (const QXmlStreamAttribute& attribute : attributes) {
            if (attribute.prefix() == fw && attribute.name() == QLatin1String(name))
                return attribute.value();
        }
        return QStringView();
    };
    if (document.size() > maximumBytes)
        return refuse(tooLargeReason);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(document);
    if (decoder.hasError())
        return refuse(QString::fromUtf8(notUtf8Reason));
    if (const auto problem = shapeProblem(text, cancelled))
        return refuse(*problem);

    Appcast appcast;
    // Read from the decoded text, so the reader sees what was counted whatever encoding the
    // document claims.
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(true);

    // The open elements, by local name; elements outside the empty namespace never match a path.
    QStringList path;
    bool inItem = false;
    qsizetype itemDepth = 0;
    Entry current;
    QString* field = nullptr;
    qsizetype fieldDepth = 0;

    while (!reader.atEnd()) {
        if (isCancelled(cancelled))
            return refuse(cancelledReason);
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            return refuse(documentTypeReason);
        case QXmlStreamReader::StartElement: {
            if (path.size() >= maximumDepth)
                return refuse(tooDeepReason);
            const QStringView name = reader.name();
            const bool plain = reader.namespaceUri().isEmpty();
            const bool framework = !plain && reader.prefix() == fw;
            if (path.isEmpty() && !(plain && name == QLatin1String(rssElement)))
                return refuse(notRssReason);
            if (!inItem && plain && name == QLatin1String(itemElement) &&
                path == QStringList{QString::fromLatin1(rssElement), QString::fromLatin1(channelElement)}) {
                inItem = true;
                itemDepth = path.size() + 1;
                current = {};
            } else if (inItem && path.size() == itemDepth) {
                field = nullptr;
                if (framework && name == QLatin1String(versionName))
                    field = &current.version;
                else if (framework && name == QLatin1String(shortVersionName))
                    field = &current.displayVersion;
                else if (framework && name == QLatin1String(minimumSystemVersionName))
                    field = &current.minimumSystemVersion;
                if (field) {
                    field->clear();
                    fieldDepth = path.size() + 1;
                }
                if (plain && name == QLatin1String(enclosureElement)) {
                    const QXmlStreamAttributes attributes = reader.attributes();
                    current.url = bounded(attributes.value(QLatin1String(urlAttribute)));
                    current.length = bounded(attributes.value(QLatin1String(lengthAttribute)));
                    current.signature = bounded(frameworkAttribute(attributes, signatureName));
                    // Older feeds put the versions on the enclosure; elements win.
                    if (current.version.isEmpty())
                        current.version = bounded(frameworkAttribute(attributes, versionName));
                    if (current.displayVersion.isEmpty())
                        current.displayVersion = bounded(frameworkAttribute(attributes, shortVersionName));
                }
            }
            path.append(plain ? name.toString() : QString());
            break;
        }
        case QXmlStreamReader::EndElement:
            if (field && path.size() == fieldDepth) {
                *field = bounded(*field);
                field = nullptr;
            }
            if (inItem && path.size() == itemDepth) {
                appcast.m_entries.append(current);
                inItem = false;
            }
            if (!path.isEmpty())
                path.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (field && path.size() == fieldDepth) {
                if (field->size() + reader.text().size() > maximumFieldLength) {
                    *field = QStringLiteral("?");
                    field = nullptr;
                } else {
                    field->append(reader.text());
                }
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return refuse(notWellFormedReason.arg(reader.errorString()));
    return appcast;
}

Appcast::Choice Appcast::choose(const QString& runningVersion, const platform::OperatingSystemVersion& system,
                                const QUrl& feedURL) const
{
    if (!isNumericVersion(runningVersion))
        return NoUpdate{};
    const QString systemVersion =
        QStringLiteral("%1.%2.%3").arg(system.major).arg(system.minor).arg(system.patch);
    const Entry* best = nullptr;
    for (const Entry& entry : m_entries) {
        if (!isNumericVersion(entry.version) || compareVersions(entry.version, runningVersion) <= 0)
            continue;
        // A requirement that cannot be read is one this system is not known to meet.
        if (!entry.minimumSystemVersion.isEmpty() &&
            (!isNumericVersion(entry.minimumSystemVersion) ||
             compareVersions(entry.minimumSystemVersion, systemVersion) > 0))
            continue;
        if (!best || compareVersions(entry.version, best->version) > 0)
            best = &entry;
    }
    if (!best)
        return NoUpdate{};

    // An invalid reference resolves to the feed's own address, which would pass every check below.
    const QUrl reference(best->url, QUrl::StrictMode);
    const QUrl address = feedURL.resolved(reference);
    if (best->url.isEmpty() || !reference.isValid() || !address.isValid() ||
        address.scheme() != QLatin1String(secureScheme) || address.host().isEmpty())
        return InvalidRelease{addressReason};
    bool numeric = !best->length.isEmpty();
    for (const QChar c : best->length)
        numeric = numeric && c >= u'0' && c <= u'9';
    const qint64 length = numeric && best->length.size() <= 12 ? best->length.toLongLong() : -1;
    if (length < 1 || length > maximumArchiveBytes)
        return InvalidRelease{lengthReason};
    if (!archive_signature::decodeBase64(best->signature, signatureLength))
        return InvalidRelease{signatureReason};

    platform::UpdateItem item;
    item.versionString = best->version;
    item.displayVersionString = best->displayVersion.isEmpty() ? best->version : best->displayVersion;
    item.minimumSystemVersion = best->minimumSystemVersion;
    item.fileURL = address;
    item.contentLength = length;
    item.edSignature = best->signature;
    return item;
}

bool Appcast::isNumericVersion(const QString& version)
{
    if (version.isEmpty() || version.size() > maximumVersionLength)
        return false;
    bool digitSeen = false;
    for (const QChar c : version) {
        if (c == u'.') {
            if (!digitSeen)
                return false;
            digitSeen = false;
        } else if (c >= u'0' && c <= u'9') {
            digitSeen = true;
        } else {
            return false;
        }
    }
    return digitSeen;
}

int Appcast::compareVersions(const QString& left, const QString& right)
{
    const QList<QStringView> a = QStringView(left).split(u'.');
    const QList<QStringView> b = QStringView(right).split(u'.');
    const QStringView zero = u"0";
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        // Compared as digit strings, so no component is too large to compare.
        const QStringView x = trimmedZeros(i < a.size() ? a[i] : zero);
        const QStringView y = trimmedZeros(i < b.size() ? b[i] : zero);
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int order = x.compare(y); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

} // namespace velmor::simulated_mac
