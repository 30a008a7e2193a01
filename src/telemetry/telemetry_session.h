#pragma once

#include <QString>

namespace velmor::platform {
class UserDefaults;
}

namespace velmor {

// Two markers in the user defaults that let the next run know what happened to this one: a run
// marker that only a clean termination removes, and the build an update was about to install.
// Nothing is stored while reporting is off.
class TelemetrySession final {
public:
    static constexpr auto markerKeyPrefix = "velmor.session.active.v1.";
    static constexpr auto updateKeyPrefix = "velmor.update.pending.v1.";
    static constexpr int maximumVersionBytes = 64;

    TelemetrySession(platform::UserDefaults& defaults, const QString& app);

    // Returns true when the previous run ended without finish(). Only the first call counts.
    bool start(bool enabled);
    void setEnabled(bool enabled);
    void finish();

    void recordUpdateInstallation(const QString& version);
    void clearUpdateInstallation();
    // True once when the recorded pending build is the one now running; the record is gone after.
    bool consumeUpdateInstallation(const QString& currentVersion);

    // Dot-separated runs of ASCII digits ("57", "1.4.2"), at most 64 UTF-8 bytes.
    static bool isValidVersion(const QString& version);

    const QString& markerKey() const { return m_markerKey; }
    const QString& updateKey() const { return m_updateKey; }

private:
    void clearMarkers();

    platform::UserDefaults& m_defaults;
    QString m_markerKey;
    QString m_updateKey;
    bool m_started = false;
    bool m_enabled = false;
};

} // namespace velmor
