// Where the layout's controls that the window handles by kind sit in the layout table, whose
// row also gives a control's child-window id.
#pragma once

#include "window/layout.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace fuelix::win32 {

inline constexpr int FirstId = 100; // control ids: FirstId + the control's row in Layout

inline constexpr std::size_t indexOf(std::string_view name)
{
    return static_cast<std::size_t>(&control(name) - Layout.data());
}

inline constexpr std::array<std::size_t, 3> BoxRows{
    indexOf("TankOctaneRatingTxt"), indexOf("TankCapacityTxt"), indexOf("PumpOctaneRatingTxt")};
inline constexpr std::array<std::size_t, 2> SliderRows{indexOf("TankSld"), indexOf("PumpSld")};
inline constexpr std::array<std::size_t, 4> ResultRows{
    indexOf("TankValueLbl"), indexOf("PumpFullLbl"), indexOf("PumpValueLbl"),
    indexOf("FinalOctaneLbl")};
inline constexpr std::size_t PictureRow = indexOf("PicPct");
inline constexpr std::size_t PumpFullRow = indexOf("PumpFullLbl");

} // namespace fuelix::win32
