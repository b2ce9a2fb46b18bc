// Envelope files, with the current and the older magic: the envelope read must stay usable and
// write back to what it reads again.
#include "params/envelope_object.h"
#include "storage/side_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::EnvelopeObject envelope(5, 0);
    if (pelko::parseObjectFile(data, size, pelko::kEnvelopeFileMagic, pelko::kOldEnvelopeFileMagic, envelope) ==
        pelko::SideFileStatus::ok) {
        const pelko::EnvelopeShape& shape = envelope.shape();
        if (shape.segmentCount() < 0 || shape.segmentCount() > shape.capacity()) std::abort();
        const std::vector<std::uint8_t> bytes = pelko::objectFileBytes(pelko::kEnvelopeFileMagic, envelope);
        pelko::EnvelopeObject again(5, 0);
        if (pelko::parseObjectFile(bytes.data(), bytes.size(), pelko::kEnvelopeFileMagic, 0, again) != pelko::SideFileStatus::ok) {
            std::abort();
        }
    }
    return 0;
}
