#pragma once

#include "platform/user_defaults.h"

namespace velmor::platform::mac {

// The app's standard user defaults (NSUserDefaults). A stored value the app cannot represent
// reads as absent; a value no property list can hold is never written.
class MacUserDefaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
};

} // namespace velmor::platform::mac
