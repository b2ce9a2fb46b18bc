// Program chunks as a host hands them back (effSetChunk with the preset flag).
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    fuzzing::Owner& o = fuzzing::owner();
    pelko::setChunk(o.state, data, size, true);
    return 0;
}
