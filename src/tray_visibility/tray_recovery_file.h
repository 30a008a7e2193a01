#pragma once

#include "foundation/json.h"

#include <QString>

#include <optional>

namespace velmor {

// A recovery journal on disk: a private JSON file that exists exactly while it records changes.
class TrayRecoveryFile final {
public:
    // A journal holds a few entries per item of the menu bar; a larger file is refused unread.
    static constexpr qint64 maximumBytes = 4 * 1024 * 1024;

    explicit TrayRecoveryFile(QString path) : m_path(std::move(path)) {}

    QString path() const { return m_path; }
    bool exists() const;
    // Absent when there is no file. Throws SystemError (File, or Parse for text that is not JSON).
    std::optional<Json> load() const;
    // An empty array deletes the file; anything else is written atomically with mode 0600 into a
    // folder with mode 0700. Throws SystemError (File).
    void save(const Json& entries) const;

private:
    QString m_path;
    // The folder is made (and protected) once, not before every write.
    mutable bool m_folderReady = false;
};

} // namespace velmor
