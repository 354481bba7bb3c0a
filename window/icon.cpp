#include "window/icon.h"

namespace fuelix {

namespace {

enum Colour : std::uint8_t
{
    Clear,
    Black,
    Maroon,
    Green,
    Olive,
    Navy,
    Purple,
    Teal,
    Grey,
    Silver,
    Red,
    Lime,
    Yellow,
    Blue,
    Aqua,
    White
};

class PixelCanvas
{
public:
    explicit PixelCanvas(int size)
        : m_size(size), m_pixels(static_cast<std::size_t>(size * size), Clear)
    {
    }

    void fill(int x, int y, int w, int h, Colour c)
    {
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                m_pixels[static_cast<std::size_t>(row * m_size + col)] = c;
    }

    // A filled box with a one-pixel black outline.
    void box(int x, int y, int w, int h, Colour inside)
    {
        fill(x, y, w, h, Black);
        fill(x + 1, y + 1, w - 2, h - 2, inside);
    }

    std::vector<std::uint8_t> pixels() const { return m_pixels; }

private:
    int m_size;
    std::vector<std::uint8_t> m_pixels;
};

std::vector<std::uint8_t> pump32()
{
    PixelCanvas c(32);
    c.box(3, 1, 20, 3, Grey);    // cap
    c.box(4, 3, 18, 25, Silver); // body
    c.fill(5, 4, 1, 23, White);  // lit left side
    c.fill(20, 4, 1, 23, Grey);  // shaded right side
    c.box(7, 6, 12, 9, Teal);    // display window
    c.fill(9, 8, 3, 1, Lime);    // price and volume digits
    c.fill(13, 8, 4, 1, Lime);
    c.fill(9, 11, 8, 1, Lime);
    c.box(8, 18, 10, 6, Grey); // service door
    c.fill(15, 20, 1, 2, Black);
    c.box(1, 27, 24, 4, Grey); // plinth
    // The hose leaves the body's right side, hangs down it and ends in the nozzle.
    c.fill(22, 7, 4, 2, Yellow);
    c.fill(24, 9, 2, 13, Yellow);
    c.fill(25, 9, 1, 13, Olive);
    c.box(23, 21, 6, 4, Red);
    c.fill(24, 23, 4, 1, Maroon);
    c.fill(23, 25, 2, 2, Grey); // spout
    return c.pixels();
}

std::vector<std::uint8_t> pump16()
{
    PixelCanvas c(16);
    c.box(1, 0, 11, 2, Grey);
    c.box(2, 1, 9, 13, Silver);
    c.fill(3, 2, 1, 11, White);
    c.box(4, 3, 5, 4, Teal);
    c.fill(5, 4, 3, 1, Lime);
    c.box(4, 9, 5, 3, Grey);
    c.box(0, 13, 13, 3, Grey);
    c.fill(11, 3, 2, 1, Yellow);
    c.fill(12, 4, 1, 6, Yellow);
    c.box(11, 10, 4, 3, Red);
    c.fill(11, 13, 1, 1, Grey);
    return c.pixels();
}

} // namespace

std::vector<std::uint8_t> programIconPixels(int size)
{
    if (size == 32)
        return pump32();
    if (size == 16)
        return pump16();
    return {};
}

} // namespace fuelix
