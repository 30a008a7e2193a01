#pragma once

#include "foundation/error.h"

#include <QString>

#include <optional>

namespace velmor {

// Why the system did not (or no longer does) hide the requested menu bar items.
class TrayVisibilityError final : public Error {
public:
    enum class Case {
        unavailable,
        timedOut,
        cancelled,
    };

    explicit TrayVisibilityError(Case errorCase) : m_case(errorCase) {}

    Case errorCase() const { return m_case; }
    QString description() const override { return description(m_case); }
    static QString description(Case errorCase);

private:
    Case m_case;
};

// What a visibility answer carries when the request failed: one of TrayVisibilityError's cases,
// or the system's own error, whose description reaches the caller unchanged. Answers travel
// through completions, across threads and event-loop turns, so this is a value, never thrown.
class TrayVisibilityFailure final {
public:
    // Implicit, so that a case can be passed wherever a failure is expected.
    TrayVisibilityFailure(TrayVisibilityError::Case errorCase) : m_case(errorCase) {}
    static TrayVisibilityFailure systemError(QString description);

    // Absent for the system's own error.
    std::optional<TrayVisibilityError::Case> errorCase() const { return m_case; }
    QString description() const;

    friend bool operator==(const TrayVisibilityFailure&, const TrayVisibilityFailure&) = default;

private:
    TrayVisibilityFailure() = default;

    std::optional<TrayVisibilityError::Case> m_case;
    QString m_systemDescription;
};

} // namespace velmor
