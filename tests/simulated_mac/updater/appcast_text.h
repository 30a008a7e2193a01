#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace velmor::test {

// One release of a feed written by a test; an empty field is left out.
struct Release {
    QString version;
    QString displayVersion;
    QString minimumSystemVersion;
    QString url;
    QString length;
    QString signature;
};

inline QByteArray appcastText(const QList<Release>& releases)
{
    QString items;
    for (const Release& release : releases) {
        items += QStringLiteral("<item><title>Release</title>");
        if (!release.version.isEmpty())
            items +=
                QStringLiteral("<sparkle:version>%1</sparkle:version>").arg(release.version.toHtmlEscaped());
        if (!release.displayVersion.isEmpty())
            items += QStringLiteral("<sparkle:shortVersionString>%1</sparkle:shortVersionString>")
                         .arg(release.displayVersion.toHtmlEscaped());
        if (!release.minimumSystemVersion.isEmpty())
            items += QStringLiteral("<sparkle:minimumSystemVersion>%1</sparkle:minimumSystemVersion>")
                         .arg(release.minimumSystemVersion);
        items += QStringLiteral("<enclosure url=\"%1\" length=\"%2\" type=\"application/octet-stream\" "
                                "sparkle:edSignature=\"%3\"/></item>")
                     .arg(release.url.toHtmlEscaped(), release.length, release.signature);
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
               "<rss version=\"2.0\" xmlns:sparkle=\"https://updates.velmor.example/xml-namespaces/release\">"
               "<channel><title>Velmor Tray</title>%1</channel></rss>")
        .arg(items)
        .toUtf8();
}

} // namespace velmor::test
