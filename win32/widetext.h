// UTF-8, as the core speaks it, to and from UTF-16, as Windows does. Only the front end converts.
#pragma once

#include <string>
#include <string_view>

namespace fuelix::win32 {

std::wstring toWide(std::string_view text);
std::string toUtf8(std::wstring_view text);

} // namespace fuelix::win32
