#include "editor/toolkit/bitmap.h"

#include "editor/toolkit/cairo_native.h"
#include "platform/file_system.h"

namespace pelko {

struct Bitmap::Native {
    cairo_surface_t* opaque = nullptr;  // the image as it is
    cairo_surface_t* keyed = nullptr;   // the image with its transparent pixels cleared, made on first use
};

namespace {

// Premultiplied ARGB surface of the pixels, with the pixels for which leaveOut answers true cleared;
// drawn at `scale` pixels per unit.
template <class LeaveOut>
cairo_surface_t* makeSurface(int width, int height, int scale, const std::vector<std::uint32_t>& pixels,
                             LeaveOut leaveOut)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
            if (leaveOut(x, y, p)) {
                row[x] = 0;
                continue;
            }
            std::uint32_t a = p >> 24;
            auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (scale((p >> 16) & 0xFF) << 16) | (scale((p >> 8) & 0xFF) << 8) | scale(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_surface_set_device_scale(surface, scale, scale);
    return surface;
}

}  // namespace

namespace {

Ref<Bitmap> loadFile(const std::string& path, int maxDimension, int scale)
{
    // No skin image is near this size; the limit keeps a hostile file from filling memory.
    constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;
    auto bytes = readWholeFile(path, kMaxFileBytes);
    if (!bytes) {
        return {};
    }
    auto image = decodeImage(*bytes, maxDimension);
    if (!image) {
        return {};
    }
    return Bitmap::fromImage(std::move(*image), scale);
}

}  // namespace

Ref<Bitmap> Bitmap::load(const std::string& path, int maxDimension)
{
    return loadFile(path, maxDimension, 1);
}

Ref<Bitmap> Bitmap::loadScaled(const std::string& path, int scale)
{
    return loadFile(path, kMaxImageDimension, scale);
}

Ref<Bitmap> Bitmap::fromImage(DecodedImage image, int scale)
{
    scale = scale == 2 ? 2 : 1;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        return {};
    }
    // 2× artwork covers whole units; an odd side cannot be laid over the 1× layout.
    if (image.width % scale != 0 || image.height % scale != 0) {
        return {};
    }
    auto* bitmap = new Bitmap(std::move(image), scale);
    if (bitmap->native_->opaque == nullptr) {
        bitmap->release();
        return {};
    }
    return Ref<Bitmap>::adopt(bitmap);
}

Bitmap::Bitmap(DecodedImage image, int scale)
    : width_(image.width), height_(image.height), scale_(scale), pixels_(std::move(image.pixels)),
      native_(std::make_unique<Native>())
{
    native_->opaque = makeSurface(width_, height_, scale_, pixels_, [](int, int, std::uint32_t) { return false; });
}

Bitmap::~Bitmap()
{
    if (native_->opaque != nullptr) {
        cairo_surface_destroy(native_->opaque);
    }
    if (native_->keyed != nullptr) {
        cairo_surface_destroy(native_->keyed);
    }
}

std::uint32_t Bitmap::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Bitmap::setTransparentColour(Colour c)
{
    transparent_ = c;
    if (native_->keyed != nullptr) {
        cairo_surface_destroy(std::exchange(native_->keyed, nullptr));
    }
}

void Bitmap::setMask(Ref<Bitmap> mask)
{
    mask_ = std::move(mask);
    if (native_->keyed != nullptr) {
        cairo_surface_destroy(std::exchange(native_->keyed, nullptr));
    }
}

void Bitmap::buildKeyedSurface() const
{
    if (mask_) {
        const Bitmap& mask = *mask_;
        const int scale = scale_;
        native_->keyed = makeSurface(width_, height_, scale_, pixels_, [&mask, scale](int x, int y, std::uint32_t) {
            // The mask is looked at in units, whatever its own scale; outside it nothing is left out.
            const int mx = x * mask.scale() / scale;
            const int my = y * mask.scale() / scale;
            return (mask.pixel(mx, my) & 0xFFFFFFu) == 0xFFFFFFu;
        });
    } else {
        std::uint32_t key = transparent_.rgb();
        native_->keyed = makeSurface(width_, height_, scale_, pixels_,
                                     [key](int, int, std::uint32_t p) { return (p & 0xFFFFFFu) == key; });
    }
}

void Bitmap::paint(DrawContext& context, const Rect& dest, Point source, bool transparent) const
{
    if (dest.empty()) {
        return;
    }
    if (transparent && native_->keyed == nullptr) {
        buildKeyedSurface();
    }
    cairo_surface_t* surface = transparent ? native_->keyed : native_->opaque;
    if (surface == nullptr) {
        return;
    }
    paintSurface(context, surface, dest, source, CAIRO_OPERATOR_OVER);
}

void Bitmap::draw(DrawContext& context, const Rect& dest, Point source) const
{
    paint(context, dest, source, false);
}

void Bitmap::drawTransparent(DrawContext& context, const Rect& dest, Point source) const
{
    paint(context, dest, source, true);
}

}  // namespace pelko
