#pragma once

#include <cstddef>
#include <cstdint>

// One harness is one function over untrusted bytes. Built for libFuzzer it is the program's
// LLVMFuzzerTestOneInput; built for the tests it registers itself by name with the replay program,
// which feeds it the seed corpus and every input that once found a fault.
namespace velmor::fuzz {

using Harness = int (*)(const std::uint8_t* data, std::size_t size);

struct Registration {
    Registration(const char* name, Harness harness);
};

} // namespace velmor::fuzz

#ifdef VELMOR_LIBFUZZER
#define VELMOR_FUZZ_HARNESS(name)                                                                            \
    static int velmorFuzz_##name(const std::uint8_t* data, std::size_t size);                                \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)                        \
    {                                                                                                        \
        return velmorFuzz_##name(data, size);                                                                \
    }                                                                                                        \
    static int velmorFuzz_##name(const std::uint8_t* data, std::size_t size)
#else
#define VELMOR_FUZZ_HARNESS(name)                                                                            \
    static int velmorFuzz_##name(const std::uint8_t* data, std::size_t size);                                \
    static const velmor::fuzz::Registration velmorFuzzRegistration_##name(#name, velmorFuzz_##name);         \
    static int velmorFuzz_##name(const std::uint8_t* data, std::size_t size)
#endif
