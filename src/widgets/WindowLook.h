#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>

// Windows are laid out in twips at 15 twips per pixel.
constexpr int TwipsPerPixel = 15;
inline QRect Twips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

// MS Sans Serif where the desktop has it, else a metric-compatible sans serif.
QFont SansSerifFont(double pointSize, bool bold);
// Arial where the desktop has it, else its metric-compatible stand-in.
QFont ArialFont(double pointSize, bool bold);
QIcon ProgramIcon();
