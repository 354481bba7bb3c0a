#include "win32/iconfile.h"

#include "window/icon.h"

#include <cstddef>

namespace fuelix::win32 {

namespace {

// Icon files are little-endian whatever the host.
void put16(std::vector<std::uint8_t> &out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xff));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// DIB rows are padded to whole 32-bit words.
constexpr std::size_t rowBytes(int size, int bitsPerPixel)
{
    return static_cast<std::size_t>((size * bitsPerPixel + 31) / 32 * 4);
}

} // namespace

std::vector<std::uint8_t> iconImage(int size)
{
    const std::vector<std::uint8_t> pixels = programIconPixels(size);
    if (pixels.empty())
        return {};
    const std::size_t colourRow = rowBytes(size, 4), maskRow = rowBytes(size, 1);
    const auto bits = static_cast<std::uint32_t>((colourRow + maskRow) * size);

    std::vector<std::uint8_t> out;
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(2 * size)); // colour rows and mask rows
    put16(out, 1);
    put16(out, 4);
    put32(out, 0); // uncompressed
    put32(out, bits);
    put32(out, 0);
    put32(out, 0);
    put32(out, IconPalette.size());
    put32(out, 0);
    for (const std::uint32_t argb : IconPalette) // RGBQUAD: blue, green, red, reserved
        put32(out, argb & 0xffffff);

    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * size + x)]; };
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x)
            row[static_cast<std::size_t>(x / 2)] |= at(x, y) << (x % 2 ? 0 : 4);
        out.insert(out.end(), row.begin(), row.end());
    }
    // Index 0 is transparent: its colour is black and its mask bit set, so the screen shows.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x)
            if (at(x, y) == 0)
                row[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> iconFile()
{
    const std::vector<std::uint8_t> images[] = {iconImage(32), iconImage(16)};
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1); // icon, not cursor
    put16(out, 2);
    std::uint32_t offset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        const int size = i == 0 ? 32 : 16;
        out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(16); // colours
        out.push_back(0);
        put16(out, 1); // planes
        put16(out, 4); // bits per pixel
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto &image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace fuelix::win32
