#pragma once

#include "platform/user_defaults.h"

#include <QHash>

namespace velmor::platform {

// User defaults held in memory only: tests, and runs that must leave nothing behind.
class MemoryUserDefaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override { return m_values.value(key); }
    void setValue(const QString& key, const QVariant& value) override { m_values.insert(key, value); }
    void remove(const QString& key) override { m_values.remove(key); }

private:
    QHash<QString, QVariant> m_values;
};

} // namespace velmor::platform
