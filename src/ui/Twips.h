#pragma once

#include <QRect>

// Window layouts are given in twips; 15 twips make one logical pixel.
constexpr int twips(int value)
{
    return (value + (value >= 0 ? 7 : -7)) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
