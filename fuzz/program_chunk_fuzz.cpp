// Program chunks as a host hands them back (effSetChunk with the preset flag).
#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    fuzzing::Owner& o = fuzzing::owner();
    // A chunk read while a bank slot is current is copied into that slot as well, by writing the
    // edit buffer and reading it back: that costs twice the reading of the chunk and depends only
    // on what was read. So the copy runs for one input in sixteen, chosen by the input's bytes so
    // that every input always behaves alike; the others are read with no slot current.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    o.current = hash % 16 == 0 ? 0 : -1;
    pelko::setChunk(o.state, data, size, true);
    return 0;
}
