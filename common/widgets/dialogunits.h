// dialogunits.h - dialog units of the suite's dialog templates in logical pixels.
//
// The dialogs were laid out in dialog units of the handheld's 240-pixel screen: one horizontal unit
// is 27/16 pixel and one vertical unit 13/8 pixel, so 142 units fill the 240-pixel width. Each
// coordinate is rounded to the nearest pixel. A rectangle is converted edge by edge (left, top,
// right, bottom), so rectangles that touch in units touch in pixels.
#pragma once

#include <QRect>

// x pixels for a horizontal length or position in dialog units: du × 27 / 16, rounded.
constexpr int ZuDuToPxX(int du) { return du >= 0 ? (du * 27 + 8) / 16 : -((-du * 27 + 8) / 16); }
// y pixels for a vertical length or position in dialog units: du × 13 / 8, rounded.
constexpr int ZuDuToPxY(int du) { return du >= 0 ? (du * 13 + 4) / 8 : -((-du * 13 + 4) / 8); }

// The rectangle (x, y, width, height), given in dialog units, in pixels.
constexpr QRect ZuDuRect(int x, int y, int width, int height)
{
    const int left = ZuDuToPxX(x);
    const int top = ZuDuToPxY(y);
    return QRect(left, top, ZuDuToPxX(x + width) - left, ZuDuToPxY(y + height) - top);
}
