#pragma once

#include "simulated_mac/simulated_host.h"

namespace velmor::test {

// A simulated host whose home and temporary folders are the test's own.
inline simulated_mac::SimulatedHost::Configuration hostConfiguration(const QString& home, const QString& temporary,
                                                                const QString& defaultsTool = {})
{
    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.homeDirectory = home;
    configuration.temporaryDirectory = temporary;
    configuration.defaultsToolPath = defaultsTool;
    return configuration;
}

} // namespace velmor::test
