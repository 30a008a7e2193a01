#pragma once

#include "tray_visibility/defaults_tool_runner.h"
#include "tray_visibility/tray_position_store.h"

#include <QString>

namespace velmor {

namespace platform {
class Host;
}

class PropertyList;

// The menu bar's preferred positions in its preference domain, read and patched through the
// `defaults` tool. A domain the tool cannot reach is TrayPositionError::access; positions that
// are not all finite numbers are TrayPositionError::unsupported.
class MacTrayPositionStore final : public TrayPositionStore {
public:
    // The menu bar's domain under `homeDirectory`.
    static QString defaultDomain(const QString& homeDirectory);

    explicit MacTrayPositionStore(const platform::Host& host);
    MacTrayPositionStore(const platform::Host& host, QString domain);

    QString domain() const { return m_domain; }

    // The positions of an exported domain. Throws TrayPositionError (unsupported).
    static Positions positionsOf(const PropertyList& domain);
    // The domain with `changes` written over positions it already has, ready to import. Throws
    // TrayPositionError (unsupported) for a key it does not have or a value that is not finite.
    static QByteArray patchedDomain(const PropertyList& domain, const Positions& changes, Keys keys);

    Positions read() override;
    // Never adds a key; TrayPositionError::verification when a patched key reads back otherwise.
    void patch(const Positions& changes, Keys keys) override;

private:
    PropertyList exportDomain() const;

    QString m_domain;
    DefaultsToolRunner m_runner;
};

} // namespace velmor
