#include "sheetlook_p.h"

#include "bitmap.h"
#include "resource.h"
#include "widgets/zufont.h"

#include <QPixmap>

CCeCommandBarEx* ZuMakeSheetBar(CPropertySheet* sheet, CZuImageList& images, std::initializer_list<UINT> bitmaps)
{
    auto* bar = new CCeCommandBarEx(nullptr, ZuCompLibRes::IdCommandBar);
    if (!bar->Create(sheet, ZuCompLibRes::IdCommandBar)) {
        delete bar;
        return nullptr;
    }
    bar->SetBkColor(RGB(120, 161, 245));
    images.RemoveAll();
    for (const UINT id : bitmaps)
        images.Add(ZuLoadBitmap(id, ZuModule::CompLib), RGB(255, 255, 255));
    bar->SetImageList(&images);
    sheet->SetCommandBar(bar);
    return bar;
}

CEnTabCtrl* ZuDecorateSheetTabs(CPropertySheet* sheet, UINT bitmap, int tabs)
{
    auto* ctrl = new CEnTabCtrl;
    sheet->SubclassTabControl(ctrl);
    ctrl->setFont(ZuFont(L"Tahoma", 13, FW_NORMAL));
    CZuImageList icons;
    icons.Create(ZuLoadBitmap(bitmap, ZuModule::CompLib), 16, RGB(255, 255, 255));
    ctrl->SetImageList(icons);
    ctrl->SetBkgndColor(RGB(200, 235, 235));
    ctrl->EnableDraw(TRUE);
    CEnTabCtrl::EnableCustomLook(TRUE, 6);
    for (int i = 0; i < tabs && i < ctrl->count(); ++i) {
        sheet->SetPageTabText(i, CString());
        ctrl->SetItemImage(i, i);
    }
    return ctrl;
}
