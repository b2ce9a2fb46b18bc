#include "editor/toolkit/offscreen.h"

#include "editor/toolkit/cairo_native.h"
#include "editor/toolkit/image_decoding.h"
#include "platform/file_system.h"

#include <vector>

namespace pelko {

Offscreen::Offscreen(int width, int height, Colour background, int scale)
    : width_(width), height_(height), scale_(scale == 2 ? 2 : 1), native_(std::make_unique<Native>())
{
    if (width < 1 || height < 1 || width > kMaxImageDimension / scale_ || height > kMaxImageDimension / scale_) {
        width_ = 0;
        height_ = 0;
        return;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width * scale_, height * scale_);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        width_ = 0;
        height_ = 0;
        return;
    }
    // Contexts on the surface draw in units of its size.
    cairo_surface_set_device_scale(surface, scale_, scale_);
    native_->surface = surface;
    cairo_t* cr = cairo_create(surface);
    setSourceColour(cr, background);
    cairo_paint(cr);
    cairo_destroy(cr);
}

Offscreen::~Offscreen()
{
    if (native_->surface != nullptr) {
        cairo_surface_destroy(native_->surface);
    }
}

bool Offscreen::valid() const
{
    return native_->surface != nullptr;
}

void Offscreen::copyTo(DrawContext& context, const Rect& dest, Point source) const
{
    if (!valid() || dest.empty()) {
        return;
    }
    paintSurface(context, native_->surface, dest, source, CAIRO_OPERATOR_SOURCE);
}

std::uint32_t Offscreen::pixel(int x, int y) const
{
    if (!valid() || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) {
        return 0;
    }
    const std::uint32_t* row = pixels() + static_cast<std::ptrdiff_t>(y) * (stride() / 4);
    return row[x] & 0xFFFFFFu;
}

const std::uint32_t* Offscreen::pixels() const
{
    if (!valid()) {
        return nullptr;
    }
    cairo_surface_flush(native_->surface);
    return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(native_->surface));
}

int Offscreen::stride() const
{
    return valid() ? cairo_image_surface_get_stride(native_->surface) : 0;
}

bool Offscreen::writePng(const std::string& path) const
{
    if (!valid()) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    auto append = [](void* closure, const unsigned char* data, unsigned int length) -> cairo_status_t {
        auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_flush(native_->surface);
    if (cairo_surface_write_to_png_stream(native_->surface, append, &bytes) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    return writeFileAtomically(path, bytes);
}

}  // namespace pelko
