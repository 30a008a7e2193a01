// The headless runner's scripts: commands, quoting, comments.

#include "fuzz_target.h"
#include "harness/run_script.h"

using namespace velmor;

VELMOR_FUZZ_HARNESS(run_script)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        (void)RunScript::parse(text);
    } catch (const ScriptError&) {
    }
    try {
        (void)RunScript::words(text, 1);
    } catch (const ScriptError&) {
    }
    return 0;
}
