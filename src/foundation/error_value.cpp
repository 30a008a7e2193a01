#include "foundation/error_value.h"

#include "foundation/system_error.h"

namespace velmor {

ErrorValue ErrorValue::current()
{
    try {
        throw;
    } catch (const Error& error) {
        return ErrorValue(std::current_exception(), error.description());
    } catch (const std::exception& error) {
        return of(SystemError(SystemError::Kind::Process, QString::fromUtf8(error.what())));
    } catch (...) {
        return of(SystemError(SystemError::Kind::Process, QStringLiteral("An unknown error occurred.")));
    }
}

} // namespace velmor
