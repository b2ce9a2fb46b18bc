#include "editor/toolkit/image_decoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The largest single block the decoder may ask for while it decodes one image: set from the
// image's own size, so a compressed stream that inflates far past its stated size (a few bytes of
// PNG claiming gigabytes) fails as out of memory instead of taking it.
thread_local std::size_t decoderAllocationLimit = SIZE_MAX;

void* decoderMalloc(std::size_t size) { return size > decoderAllocationLimit ? nullptr : std::malloc(size); }
void* decoderRealloc(void* block, std::size_t size)
{
    return size > decoderAllocationLimit ? nullptr : std::realloc(block, size);
}

}  // namespace

// The decoder itself comes from the system package; only the two formats skins use are built.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MALLOC(size) decoderMalloc(size)
#define STBI_REALLOC(block, size) decoderRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace pelko {
namespace {

// Feeds the decoder from memory and notes whether it ever asked for bytes past the end: the
// decoder reads zeros there, so a truncated file would otherwise load with invented pixels.
struct ByteSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    bool readPastEnd = false;

    static int read(void* user, char* data, int size)
    {
        auto* self = static_cast<ByteSource*>(user);
        std::size_t left = self->bytes.size() - self->position;
        if (left == 0) {
            self->readPastEnd = true;
            return 0;
        }
        std::size_t count = std::min<std::size_t>(left, static_cast<std::size_t>(size));
        std::memcpy(data, self->bytes.data() + self->position, count);
        self->position += count;
        return static_cast<int>(count);
    }
    static void skip(void* user, int n)
    {
        auto* self = static_cast<ByteSource*>(user);
        // Negative skips move back inside what was read (the decoder un-reads its buffer).
        long long target = static_cast<long long>(self->position) + n;
        if (target < 0) {
            target = 0;
        }
        self->position = std::min<std::size_t>(static_cast<std::size_t>(target), self->bytes.size());
    }
    static int atEnd(void* user)
    {
        auto* self = static_cast<ByteSource*>(user);
        return self->position >= self->bytes.size() ? 1 : 0;
    }
};

const stbi_io_callbacks kCallbacks{&ByteSource::read, &ByteSource::skip, &ByteSource::atEnd};

}  // namespace

std::optional<DecodedImage> decodeImage(std::span<const std::uint8_t> bytes, int maxDimension)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    {
        // Sizes are checked before anything is allocated for the pixels.
        ByteSource probe{bytes};
        if (stbi_info_from_callbacks(&kCallbacks, &probe, &width, &height, &channels) == 0) {
            return std::nullopt;
        }
        // A top-down BMP reports its height negative here.
        if (height < 0 && height != INT32_MIN) {
            height = -height;
        }
        if (width <= 0 || height <= 0 || width > maxDimension || height > maxDimension) {
            return std::nullopt;
        }
    }
    // Room for the stored bytes and for twice the decoded rows (filter bytes included), with some
    // slack for the decoder's own tables.
    const std::size_t rows = (static_cast<std::size_t>(width) * 4 + 1) * static_cast<std::size_t>(height);
    decoderAllocationLimit = 2 * std::max(rows, bytes.size()) + (std::size_t{1} << 20);
    ByteSource source{bytes};
    stbi_uc* rgba = stbi_load_from_callbacks(&kCallbacks, &source, &width, &height, &channels, 4);
    decoderAllocationLimit = SIZE_MAX;
    if (rgba == nullptr) {
        return std::nullopt;
    }
    if (source.readPastEnd || width <= 0 || height <= 0 || width > maxDimension || height > maxDimension) {
        stbi_image_free(rgba);
        return std::nullopt;
    }
    DecodedImage image;
    image.width = width;
    image.height = height;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    image.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const stbi_uc* p = rgba + 4 * i;
        image.pixels[i] = (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
    stbi_image_free(rgba);
    return image;
}

}  // namespace pelko
