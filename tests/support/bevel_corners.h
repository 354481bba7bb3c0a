// Pixels of the bevel at 96 dpi, the middle of each edge and the corners: a line stops short of
// its end point, so the edges meet without overshooting. 'L'it edges are white when raised,
// 'S'haded ones dark; '.' is the window's surface.
#pragma once

namespace fuelix::test {

struct Corner
{
    int x, y;
    char look;
};

inline constexpr Corner BevelCorners[] = {
    {28, 96, 'L'},   {250, 24, 'L'},  {477, 96, 'S'},  {250, 168, 'S'}, {28, 264, 'L'},
    {250, 192, 'L'}, {478, 264, 'S'}, {250, 336, 'S'}, {28, 24, 'L'},   {477, 24, 'S'},
    {478, 24, '.'},  {28, 168, 'L'},  {29, 168, 'S'},  {477, 168, '.'}, {28, 192, 'L'},
    {477, 192, 'L'}, {478, 192, 'S'}, {479, 192, '.'}, {28, 336, 'L'},  {29, 336, '.'},
    {477, 336, 'S'}, {478, 335, 'S'}, {478, 336, '.'},
};

} // namespace fuelix::test
