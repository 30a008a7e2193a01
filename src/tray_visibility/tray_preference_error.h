#pragma once

#include "foundation/error.h"

#include <QSet>
#include <QString>

namespace velmor {

// Why a change of the control center's tracked-applications list did not happen or was not
// confirmed. The descriptions are the sentences the controller shows.
class TrayPreferenceError final : public Error {
public:
    enum class Case { missing, access, malformed, verification };

    explicit TrayPreferenceError(Case kind) : m_case(kind) {}
    // Hidden running apps that have no row in the list yet.
    static TrayPreferenceError missing(QSet<QString> bundleIDs);

    Case kind() const { return m_case; }
    const QSet<QString>& missingBundleIDs() const { return m_missing; }
    QString description() const override;

private:
    Case m_case;
    QSet<QString> m_missing;
};

} // namespace velmor
