// The program icon as pixels, drawn in code: a grey fuel pump seen from the front with a display
// window in its upper half and a yellow hose down its right side to a red nozzle.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace fuelix {

// The classic 16-colour palette, its fuchsia given up for transparency (index 0).
inline constexpr std::array<std::uint32_t, 16> IconPalette{
    0x00000000, 0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080,
    0xff800080, 0xff008080, 0xff808080, 0xffc0c0c0, 0xffff0000, 0xff00ff00,
    0xffffff00, 0xff0000ff, 0xff00ffff, 0xffffffff}; // 0xAARRGGBB

// size × size palette indices, row by row from the top; size is 32 or 16, any other gives none.
std::vector<std::uint8_t> programIconPixels(int size);

} // namespace fuelix
