#pragma once

#include <QString>

#include <exception>

namespace velmor {

// Base of every error the system throws. description() is the fixed, user-facing sentence of the
// error's case (or, for system failures, the reason the system gave).
class Error : public std::exception {
public:
    ~Error() override = default;
    virtual QString description() const = 0;
    const char* what() const noexcept override;

private:
    mutable QByteArray m_what;
};

} // namespace velmor
