#include "telemetry/navrel_configuration.h"

namespace velmor {
namespace {

constexpr auto requiredScheme = "https";

} // namespace

std::optional<NavrelConfiguration> NavrelConfiguration::make(const QString& endpoint, const QString& key)
{
    const QUrl url(endpoint, QUrl::StrictMode);
    if (endpoint.isEmpty() || !url.isValid() || url.isRelative())
        return std::nullopt;
    // QUrl folds the scheme to lower case; the rule is an exact "https".
    const QString scheme = QString::fromLatin1(requiredScheme);
    if (url.scheme() != scheme || !endpoint.startsWith(scheme + u':'))
        return std::nullopt;
    if (url.host().isEmpty())
        return std::nullopt;
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    // A carriage return would end the header line just as a line feed does.
    if (key.isEmpty() || key.contains(u'\n') || key.contains(u'\r'))
        return std::nullopt;
    return NavrelConfiguration(url, key);
}

QUrl NavrelConfiguration::url(const QString& path) const
{
    QUrl url = m_endpoint;
    QString base = url.path(QUrl::FullyEncoded);
    if (!base.endsWith(u'/'))
        base += u'/';
    url.setPath(base + path, QUrl::StrictMode);
    return url;
}

} // namespace velmor
