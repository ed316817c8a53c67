// libFuzzer's entry for one target, named by LEKTA_FUZZ_TARGET at build time.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return LEKTA_FUZZ_TARGET(data, size);
}
