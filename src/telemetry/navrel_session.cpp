#include "telemetry/navrel_session.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkRequest>

#include <algorithm>

namespace velmor {
namespace {

// The manager's default jar would store cookies from responses and send them back.
class RefusingCookieJar final : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;

    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
    bool insertCookie(const QNetworkCookie&) override { return false; }
    bool updateCookie(const QNetworkCookie&) override { return false; }
};

int idleMilliseconds()
{
    const auto idle = std::min(NavrelSession::idleTimeout, NavrelSession::requestTimeout);
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(idle).count());
}

} // namespace

NavrelSession::NavrelSession() : m_tls(QSslConfiguration::defaultConfiguration()) {}

std::unique_ptr<QNetworkAccessManager> NavrelSession::createManager() const
{
    auto manager = std::make_unique<QNetworkAccessManager>();
    manager->setCookieJar(new RefusingCookieJar(manager.get()));
    manager->setCache(nullptr);
    manager->setStrictTransportSecurityEnabled(false);
    // The bearer key goes with every request; a redirect must not carry it to another origin.
    manager->setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    manager->setTransferTimeout(idleMilliseconds());
    return manager;
}

QNetworkRequest NavrelSession::request(const QUrl& url) const
{
    QNetworkRequest request(url);
    request.setSslConfiguration(m_tls);
    request.setTransferTimeout(idleMilliseconds());
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    return request;
}

} // namespace velmor
