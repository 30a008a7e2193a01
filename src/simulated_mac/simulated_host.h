#pragma once

#include "platform/host.h"

namespace velmor::simulated_mac {

// The simulated Mac's host facts. The home folder is the simulated home (a folder of the run);
// the `defaults` tool is the stand-in executable.
class SimulatedHost final : public platform::Host {
public:
    struct Configuration {
        platform::OperatingSystemVersion systemVersion{27, 0, 0};
        quint64 physicalMemory = 16ull << 30;
        platform::MainBundle mainBundle = platform::MainBundle::embedded(QStringLiteral("/Applications/Velmor Tray.app"));
        QString homeDirectory;
        QString temporaryDirectory;
        QString defaultsToolPath;
        qint64 processId = 4242;
    };

    explicit SimulatedHost(Configuration configuration) : m_configuration(std::move(configuration)) {}

    platform::OperatingSystemVersion systemVersion() const override { return m_configuration.systemVersion; }
    quint64 physicalMemory() const override { return m_configuration.physicalMemory; }
    const platform::MainBundle& mainBundle() const override { return m_configuration.mainBundle; }
    QString homeDirectory() const override { return m_configuration.homeDirectory; }
    QString temporaryDirectory() const override { return m_configuration.temporaryDirectory; }
    QString defaultsToolPath() const override { return m_configuration.defaultsToolPath; }
    qint64 processId() const override { return m_configuration.processId; }

    Configuration& configuration() { return m_configuration; }

private:
    Configuration m_configuration;
};

} // namespace velmor::simulated_mac
