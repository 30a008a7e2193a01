#pragma once

#include "foundation/error.h"

#include <QString>

#include <exception>
#include <optional>

namespace velmor {

// A thrown error kept as a copyable value, for operations that report a failure instead of
// throwing (and for callbacks, which exceptions must never cross). It keeps the original
// exception, so callers can still ask which error it was.
class ErrorValue final {
public:
    // The exception being handled; call only inside a catch block. An exception that is not a
    // velmor::Error is kept as a SystemError with its reason.
    static ErrorValue current();

    template <class E> static ErrorValue of(const E& error)
    {
        return ErrorValue(std::make_exception_ptr(error), error.description());
    }

    QString description() const { return m_description; }
    [[noreturn]] void rethrow() const { std::rethrow_exception(m_exception); }

    // A copy of the error when it is an E.
    template <class E> std::optional<E> as() const
    {
        try {
            std::rethrow_exception(m_exception);
        } catch (const E& error) {
            return error;
        } catch (...) {
            return std::nullopt;
        }
    }

private:
    ErrorValue(std::exception_ptr exception, QString description)
        : m_exception(std::move(exception)), m_description(std::move(description))
    {}

    std::exception_ptr m_exception;
    QString m_description;
};

} // namespace velmor
