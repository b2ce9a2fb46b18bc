// Program files: a 60-byte header, then a program chunk.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    pelko::readProgramFileBytes(data, size, fuzzing::owner().editBuffer);
    return 0;
}
