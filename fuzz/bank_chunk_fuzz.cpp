// Bank chunks as a host hands them back (effSetChunk without the preset flag).
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    fuzzing::Owner& o = fuzzing::owner();
    pelko::setChunk(o.state, data, size, false);
    return 0;
}
