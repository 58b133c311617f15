#pragma once

#include <QRect>
#include <QSize>

// Window layouts are given in twips; 15 twips make one logical pixel at the design font (ui::scaled grows
// them with the desktop's font).
constexpr int twips(int value)
{
    return (value + (value >= 0 ? 7 : -7)) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(twips(width), twips(height));
}
