// The JSON helpers every stored record and journal goes through.

#include "foundation/json.h"
#include "foundation/system_error.h"
#include "fuzz_target.h"

#include <cstdlib>

using namespace velmor;

VELMOR_FUZZ_HARNESS(json)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<Json> tried = json::tryParse(bytes);
    try {
        const Json parsed = json::parse(bytes);
        if (!tried || *tried != parsed)
            std::abort(); // the two parsers must agree
        const QByteArray text = json::serialize(parsed);
        const std::optional<Json> again = json::tryParse(text);
        if (!again)
            std::abort(); // what we write must read back
        (void)json::string(parsed);
    } catch (const SystemError&) {
        if (tried)
            std::abort();
    }
    return 0;
}
