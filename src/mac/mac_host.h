#pragma once

#include "platform/host.h"

namespace velmor::platform::mac {

// The running Mac and this process (NSProcessInfo, NSBundle).
class MacHost final : public Host {
public:
    static constexpr auto defaultsTool = "/usr/bin/defaults";

    MacHost();

    OperatingSystemVersion systemVersion() const override;
    quint64 physicalMemory() const override;
    const MainBundle& mainBundle() const override { return m_mainBundle; }
    QString homeDirectory() const override;
    QString temporaryDirectory() const override;
    QString defaultsToolPath() const override { return QString::fromLatin1(defaultsTool); }
    qint64 processId() const override;

private:
    MainBundle m_mainBundle;
};

} // namespace velmor::platform::mac
