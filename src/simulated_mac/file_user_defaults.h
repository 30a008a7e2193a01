#pragma once

#include "foundation/property_list.h"
#include "platform/user_defaults.h"

namespace velmor::simulated_mac {

// User defaults kept as one binary property-list file, the way the Mac keeps a preferences
// domain. Every change is written at once, atomically, with mode 0600. A file that cannot be read
// counts as empty and is moved aside (kept, not deleted) before the first write, so nothing the
// user had is lost silently. Members this class does not understand are carried along untouched.
class FileUserDefaults final : public platform::UserDefaults {
public:
    explicit FileUserDefaults(QString path);

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    QString path() const { return m_path; }
    // Where an unreadable file was moved; empty unless that happened.
    QString movedAsidePath() const { return m_movedAside; }

private:
    void save();

    QString m_path;
    PropertyList m_document = PropertyList::dictionary();
    bool m_unreadableOnDisk = false;
    QString m_movedAside;
    // The folder is made (and protected) once, not on every write.
    bool m_directoryReady = false;
};

} // namespace velmor::simulated_mac
