#pragma once

#include "foundation/error.h"

#include <QString>

namespace velmor {

// Why a rewrite of the menu bar's preferred positions did not happen or was not confirmed. The
// descriptions are the sentences the controller shows.
class TrayPositionError final : public Error {
public:
    enum class Case { unsupported, access, missing, verification };

    explicit TrayPositionError(Case kind) : m_case(kind) {}

    Case kind() const { return m_case; }
    QString description() const override;

private:
    Case m_case;
};

} // namespace velmor
