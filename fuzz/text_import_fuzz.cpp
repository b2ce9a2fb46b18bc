// Text programs: any text read into a program that is kept across inputs, as a bank slot is.
#include "fuzz_support.h"

#include "storage/text_program.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::silence();
    static pelko::Program program;
    pelko::readProgramText(std::string_view(reinterpret_cast<const char*>(data), size), program);
    for (float v : program.values) {
        if (!(v >= 0.0f && v <= 1.0f)) std::abort();
    }
    // What was read must write and read back (into a program kept across inputs as well: building
    // a fresh one for every input would cost more than the reading). Writing and reading a whole
    // program costs some forty times the reading of a typical input (a few kilobytes), so the round
    // trip runs for one input in 64, chosen by the input's bytes so that every input always behaves alike.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    if (hash % 64 == 0) {
        static pelko::Program copy;
        pelko::readProgramText(pelko::programText(program), copy);
    }
    return 0;
}
