// sheetlook_p.h - what the menu select sheet and the event sheet share: their command bar and
// their tab strip.
#pragma once

#include "widgets/cecommandbarex.h"
#include "widgets/entabctrl.h"
#include "widgets/propertysheet.h"
#include "widgets/zuimagelist.h"

// The command bar along the sheet's bottom: id 0xE800, the blue RGB(120,161,245), the images
// of `bitmaps` (complib's bitmaps, in that order) as its image list. Returns the bar (the sheet
// owns it while it runs) or null.
CCeCommandBarEx* ZuMakeSheetBar(CPropertySheet* sheet, CZuImageList& images, std::initializer_list<UINT> bitmaps);

// Puts a CEnTabCtrl in place of the sheet's tab strip: font Tahoma 13 px, weight 400; icons of
// complib's `bitmap`, 16 px each, mask white; background RGB(200,235,235); owner drawing; the
// custom look 6. Each of the first `tabs` tabs gets an empty text and the image of its index.
CEnTabCtrl* ZuDecorateSheetTabs(CPropertySheet* sheet, UINT bitmap, int tabs);
