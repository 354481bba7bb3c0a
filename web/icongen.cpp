// Build-time tool, compiled for the build machine: writes the program icon as the page's PNG
// files, the 32-pixel image enlarged by whole factors without smoothing, from the pixels the
// window itself uses.
//
//   fuelix_web_icongen OUTPUT.png SIZE
//
// SIZE is 32 or a multiple of it. The PNG keeps the 16-colour palette (4 bits a pixel, index 0
// transparent), so even the 512-pixel icon stays a few kilobytes.
#include "window/icon.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes &out, unsigned long value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void chunk(Bytes &png, const char *type, const Bytes &data)
{
    put32(png, data.size());
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, crc32(0, png.data() + start, static_cast<uInt>(png.size() - start)));
}

} // namespace

int main(int argc, char **argv)
{
    const int size = argc == 3 ? std::atoi(argv[2]) : 0;
    if (size < 32 || size % 32 != 0) {
        std::fprintf(stderr, "usage: fuelix_web_icongen OUTPUT.png SIZE (a multiple of 32)\n");
        return 2;
    }
    const int scale = size / 32;
    const std::vector<std::uint8_t> pixels = fuelix::programIconPixels(32);

    Bytes header;
    put32(header, size);
    put32(header, size);
    header.insert(header.end(), {4, 3, 0, 0, 0}); // 4-bit palette, no interlace
    Bytes palette, alpha;
    for (const std::uint32_t argb : fuelix::IconPalette) {
        palette.insert(palette.end(),
                       {static_cast<unsigned char>(argb >> 16),
                        static_cast<unsigned char>(argb >> 8), static_cast<unsigned char>(argb)});
        alpha.push_back(static_cast<unsigned char>(argb >> 24));
    }

    Bytes raw; // each row: filter type 0, then two pixels a byte
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);
        for (int x = 0; x < size; x += 2) {
            const auto at = [&](int px) { return pixels[(y / scale) * 32 + px / scale]; };
            raw.push_back(static_cast<unsigned char>(at(x) << 4 | at(x + 1)));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK)
        return 1;
    packed.resize(packedSize);

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunk(png, "IHDR", header);
    chunk(png, "PLTE", palette);
    chunk(png, "tRNS", alpha);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});

    std::FILE *file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(png.data(), 1, png.size(), file) != png.size() ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "fuelix_web_icongen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
