#pragma once

#include "foundation/error.h"

#include <QString>

namespace velmor {

// Why a stored tray record could not be read. The stored forms are JSON written by this app;
// anything that does not match them is refused as a whole, so no partial record is ever loaded.
class TrayDecodeError final : public Error {
public:
    enum class Kind {
        // A member the form requires is not there.
        keyNotFound,
        // A member holds another JSON type than the form's.
        typeMismatch,
        // The type is right but the value is not one the form allows.
        dataCorrupted,
    };

    static TrayDecodeError keyNotFound(const QString& path);
    static TrayDecodeError typeMismatch(const QString& path, const QString& expected);
    static TrayDecodeError dataCorrupted(const QString& path, const QString& description);
    static TrayDecodeError unknownSection(const QString& path, const QString& rawValue);

    Kind kind() const { return m_kind; }
    // Dotted member names from the record's root to the offending value ("groups.expandable").
    QString path() const { return m_path; }
    QString description() const override { return m_description; }

private:
    TrayDecodeError(Kind kind, QString path, QString description)
        : m_kind(kind), m_path(std::move(path)), m_description(std::move(description))
    {}

    Kind m_kind;
    QString m_path;
    QString m_description;
};

} // namespace velmor
