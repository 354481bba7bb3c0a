// The program icon in the Windows icon formats, built from the pixels of window/icon.h: the
// running window and the .ico that the executable carries are made from the same bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace fuelix::win32 {

// One image as an icon resource holds it (what CreateIconFromResourceEx takes): a 4-bit DIB
// header, the palette, the colour rows and the transparency mask, both bottom-up. size is 32 or
// 16; any other gives none.
std::vector<std::uint8_t> iconImage(int size);

// A .ico file with the 32 and the 16 pixel images.
std::vector<std::uint8_t> iconFile();

} // namespace fuelix::win32
