// Scenario files of the simulated Mac: strict parsing, never a fault.

#include "foundation/system_error.h"
#include "fuzz_target.h"
#include "simulated_mac/scenario.h"

using namespace velmor;

VELMOR_FUZZ_HARNESS(scenario)
{
    try {
        (void)simulated_mac::Scenario::parse(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const SystemError&) {
    }
    return 0;
}
