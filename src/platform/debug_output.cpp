#include "platform/debug_output.h"

#include <cstdio>

namespace pelko {

void debugOutput(std::string_view text)
{
    // One write per diagnostic so lines of concurrent instances do not interleave mid-line.
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (text.empty() || text.back() != '\n') {
        std::fputc('\n', stderr);
    }
    std::fflush(stderr);
}

}  // namespace pelko
