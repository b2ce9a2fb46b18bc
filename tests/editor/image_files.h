// Writes small BMP files of the kinds common tools produce, for the image and skin tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace editor_testing {

// Pixels 0xRRGGBB, top row first. bitsPerPixel 24 or 32 (bottom-up unless topDown), or 8 with a
// palette built from the distinct colours (at most 256).
inline std::vector<std::uint8_t> bmpBytes(int width, int height, const std::vector<std::uint32_t>& pixels,
                                          int bitsPerPixel = 24, bool topDown = false)
{
    std::vector<std::uint32_t> palette;
    if (bitsPerPixel == 8) {
        for (std::uint32_t p : pixels) {
            bool known = false;
            for (std::uint32_t q : palette) {
                known = known || q == p;
            }
            if (!known) {
                palette.push_back(p);
            }
        }
    }
    int rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    std::uint32_t paletteBytes = static_cast<std::uint32_t>(palette.size() * 4);
    std::uint32_t offset = 14 + 40 + paletteBytes;
    std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::vector<std::uint8_t> out;
    auto u16 = [&out](std::uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&out, &u16](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    out.push_back('B');
    out.push_back('M');
    u32(offset + imageBytes);
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(topDown ? -height : height));
    u16(1);
    u16(static_cast<std::uint32_t>(bitsPerPixel));
    u32(0);
    u32(imageBytes);
    u32(2835);
    u32(2835);
    u32(static_cast<std::uint32_t>(palette.size()));
    u32(0);
    for (std::uint32_t p : palette) {
        out.push_back(p & 0xFF);
        out.push_back((p >> 8) & 0xFF);
        out.push_back((p >> 16) & 0xFF);
        out.push_back(0);
    }
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        std::size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
            if (bitsPerPixel == 8) {
                std::uint8_t index = 0;
                for (std::size_t i = 0; i < palette.size(); ++i) {
                    if (palette[i] == p) {
                        index = static_cast<std::uint8_t>(i);
                    }
                }
                out.push_back(index);
                continue;
            }
            out.push_back(p & 0xFF);
            out.push_back((p >> 8) & 0xFF);
            out.push_back((p >> 16) & 0xFF);
            if (bitsPerPixel == 32) {
                out.push_back(0xFF);
            }
        }
        while (out.size() - start < static_cast<std::size_t>(rowBytes)) {
            out.push_back(0);
        }
    }
    return out;
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace editor_testing
