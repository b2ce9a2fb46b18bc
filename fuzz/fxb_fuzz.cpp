// Bank files and the state file: a 160-byte header, then a bank chunk.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    pelko::readBankFileBytes(fuzzing::owner().state, data, size, "fuzz.fxb");
    return 0;
}
