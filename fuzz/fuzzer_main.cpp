// The libFuzzer entry point of one harness; CMake compiles this file once per
// harness with VELNOR_FUZZ_BODY naming the body in fuzz_bodies.h.
#include "fuzz/fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    velnor::fuzz::VELNOR_FUZZ_BODY(data, size);
    return 0;
}
