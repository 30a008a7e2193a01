#pragma once

#include "platform/scheduler.h"

#include <QSslConfiguration>

#include <memory>

class QNetworkAccessManager;
class QNetworkRequest;
class QUrl;

namespace velmor {

// The HTTPS session the telemetry client talks through. It is ephemeral: no cookie is sent or
// stored, nothing is cached, no credential is kept. A request may be idle for 10 seconds and
// take 15 seconds in all. Trust comes from the TLS configuration; certificate errors are never
// ignored.
class NavrelSession final {
public:
    static constexpr platform::Duration idleTimeout = platform::seconds(10);
    static constexpr platform::Duration resourceTimeout = platform::seconds(15);
    // The request's own limit; the session's shorter limits decide in practice.
    static constexpr platform::Duration requestTimeout = platform::seconds(60);

    // Trusts what the system trusts.
    NavrelSession();
    explicit NavrelSession(QSslConfiguration tls) : m_tls(std::move(tls)) {}

    const QSslConfiguration& tls() const { return m_tls; }

    // The network manager for this session. Call it on the thread that will use the manager.
    std::unique_ptr<QNetworkAccessManager> createManager() const;
    // A request to `url` with the session's limits, trust and cookie and cache rules.
    QNetworkRequest request(const QUrl& url) const;

private:
    QSslConfiguration m_tls;
};

} // namespace velmor
