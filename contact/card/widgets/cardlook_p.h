// cardlook_p.h - colours and fonts the card, the editor pages and the picture page share.
#pragma once

#include "widgets/syscolors.h"
#include "widgets/zufont.h"

#include <QColor>
#include <QFont>

namespace zucard {

inline QColor color(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline QColor windowColor() { return color(ZuSysColor(ZU_COLOR_WINDOW)); }
// "Tahoma" 14 px, weight 400, as the field lists use it (the suite's Korean face stands in).
inline QFont listFont(int px = 14, bool bold = false)
{
    QFont f = ZuFont(L"Tahoma", px, bold ? 700 : 400);
    return f;
}

}  // namespace zucard
