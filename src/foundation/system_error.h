#pragma once

#include "foundation/error.h"

namespace velmor {

// A failure of the host system: a file, a process, or input that does not parse.
class SystemError final : public Error {
public:
    enum class Kind { File, Process, Parse };

    SystemError(Kind kind, QString reason) : m_kind(kind), m_reason(std::move(reason)) {}

    Kind kind() const { return m_kind; }
    QString description() const override { return m_reason; }

private:
    Kind m_kind;
    QString m_reason;
};

} // namespace velmor
