#include "telemetry/telemetry_session.h"

#include "platform/user_defaults.h"

namespace velmor {

TelemetrySession::TelemetrySession(platform::UserDefaults& defaults, const QString& app)
    : m_defaults(defaults), m_markerKey(QString::fromLatin1(markerKeyPrefix) + app),
      m_updateKey(QString::fromLatin1(updateKeyPrefix) + app)
{}

bool TelemetrySession::start(bool enabled)
{
    if (m_started)
        return false;
    m_started = true;
    m_enabled = enabled;
    if (!enabled) {
        clearMarkers();
        return false;
    }
    const bool leftOver = m_defaults.boolValue(m_markerKey).value_or(false);
    m_defaults.setValue(m_markerKey, true);
    return leftOver;
}

void TelemetrySession::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        clearMarkers();
        return;
    }
    if (m_started)
        m_defaults.setValue(m_markerKey, true);
}

void TelemetrySession::finish()
{
    m_defaults.remove(m_markerKey);
}

void TelemetrySession::recordUpdateInstallation(const QString& version)
{
    if (!m_enabled || !isValidVersion(version))
        return;
    m_defaults.setValue(m_updateKey, version);
}

void TelemetrySession::clearUpdateInstallation()
{
    m_defaults.remove(m_updateKey);
}

bool TelemetrySession::consumeUpdateInstallation(const QString& currentVersion)
{
    const auto pending = m_defaults.stringValue(m_updateKey);
    m_defaults.remove(m_updateKey);
    return m_enabled && isValidVersion(currentVersion) && pending && *pending == currentVersion;
}

bool TelemetrySession::isValidVersion(const QString& version)
{
    // Checked by hand rather than with a pattern: a regular expression's "$" also matches before
    // a final line feed, which would let "58\n" through.
    if (version.isEmpty() || version.toUtf8().size() > maximumVersionBytes)
        return false;
    bool runHasDigits = false;
    for (const QChar c : version) {
        if (c == u'.') {
            if (!runHasDigits)
                return false;
            runHasDigits = false;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        runHasDigits = true;
    }
    return runHasDigits;
}

void TelemetrySession::clearMarkers()
{
    m_defaults.remove(m_markerKey);
    m_defaults.remove(m_updateKey);
}

} // namespace velmor
