#pragma once

#include "platform/main_bundle.h"

#include <QString>

namespace velmor::platform {

struct OperatingSystemVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
    friend bool operator==(const OperatingSystemVersion&, const OperatingSystemVersion&) = default;
};

// Facts about the machine and the running process.
class Host {
public:
    virtual ~Host() = default;

    virtual OperatingSystemVersion systemVersion() const = 0;
    // Physical memory in bytes.
    virtual quint64 physicalMemory() const = 0;
    virtual const MainBundle& mainBundle() const = 0;
    // The user's home folder, without a trailing slash.
    virtual QString homeDirectory() const = 0;
    // The system's temporary folder, without a trailing slash.
    virtual QString temporaryDirectory() const = 0;
    // The `defaults` tool ("/usr/bin/defaults" on the Mac).
    virtual QString defaultsToolPath() const = 0;
    virtual qint64 processId() const = 0;
};

} // namespace velmor::platform
