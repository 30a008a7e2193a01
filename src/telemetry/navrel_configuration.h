#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace velmor {

// Where the telemetry service lives and the credential it expects. Only valid values exist: an
// https address with a host and nothing that could leak or confuse the request line (no user,
// password, query or fragment), and a key that fits in one header line.
class NavrelConfiguration final {
public:
    static constexpr auto endpointInfoKey = "VelmorNavrelEndpoint";
    static constexpr auto keyInfoKey = "VelmorNavrelKey";
    static constexpr auto eventsPath = "v1/events";
    static constexpr auto feedbackPath = "v1/feedback";

    static std::optional<NavrelConfiguration> make(const QString& endpoint, const QString& key);

    const QUrl& endpoint() const { return m_endpoint; }
    const QString& key() const { return m_key; }

    // The endpoint with `path` appended as further path components ("/api" gives
    // "/api/v1/events").
    QUrl url(const QString& path) const;

private:
    NavrelConfiguration(QUrl endpoint, QString key) : m_endpoint(std::move(endpoint)), m_key(std::move(key))
    {}

    QUrl m_endpoint;
    QString m_key;
};

} // namespace velmor
