// The buttons and the picture, by the number fuelix_click() takes: what the page's module and
// the page it is built into agree on.
#pragma once

#include <array>
#include <string_view>

namespace fuelix {

inline constexpr std::array<std::string_view, 4> Commands{"ResetCmd", "AboutCmd", "QuitCmd",
                                                          "PicPct"};

} // namespace fuelix
