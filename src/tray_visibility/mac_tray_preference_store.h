#pragma once

#include "tray_visibility/defaults_tool_runner.h"
#include "tray_visibility/tray_preference_store.h"

#include <QString>

namespace velmor {

namespace platform {
class Host;
}

class PropertyList;

// The tracked-applications list in the control center's preference domain, read and written
// through the `defaults` tool. A domain the tool cannot reach, or that reads as nothing at all,
// is TrayPreferenceError::access; an export it cannot understand is malformed.
class MacTrayPreferenceStore final : public TrayPreferenceStore {
public:
    // The control center's domain under `homeDirectory`.
    static QString defaultDomain(const QString& homeDirectory);

    explicit MacTrayPreferenceStore(const platform::Host& host);
    MacTrayPreferenceStore(const platform::Host& host, QString domain);

    QString domain() const { return m_domain; }

    QByteArray read() override;
    // Imports the domain with the new list and reads it back; TrayPreferenceError::verification
    // when a changed row does not read back as written.
    void write(const QByteArray& data) override;
    void writeList(const TrayTrackedApplications::List& list) override;

private:
    struct Exported;
    Exported exportDomain() const;

    QString m_domain;
    DefaultsToolRunner m_runner;
};

} // namespace velmor
