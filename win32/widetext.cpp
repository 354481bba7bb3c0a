#include "win32/widetext.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace fuelix::win32 {

namespace {

int checkedLength(std::size_t size)
{
    if (size > INT_MAX)
        throw std::length_error("text too long");
    return static_cast<int>(size);
}

} // namespace

std::wstring toWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = checkedLength(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = checkedLength(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace fuelix::win32
