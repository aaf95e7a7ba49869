#include "categoryscreens.h"

#include "pimstore.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/listviewex.h"
#include "widgets/modaldialog.h"
#include "widgets/menuselectsheet.h"
#include "widgets/propertysheet.h"

#include <QApplication>
#include <QLineEdit>

namespace {

void storeCategory(const wchar_t* name, short index, short shown, short contacts)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return;
    CCeDBRecord r;
    const CCeDBProp props[] = {CCeDBProp(name, ZUID_CAT_NAME), CCeDBProp(index, ZUID_CAT_INDEX),
        CCeDBProp(shown, ZUID_CAT_IN_USE), CCeDBProp(contacts, ZUID_CAT_CONTACT_COUNT),
        CCeDBProp(short(0), ZUID_CAT_APT_COUNT), CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
    r.AddProps(props, 6);
    db.WriteRecord(r, 0);
}

}  // namespace

void ZuShootCategoryScreens(const QString& folder, const ZuScreenSaver& save)
{
    storeCategory(L"업무", 0, 1, 0);
    storeCategory(L"가족", 1, 1, 2);
    storeCategory(L"친구", 2, 0, 1);  // deleted while a contact still carries it
    storeCategory(L"여행", 3, 1, 0);
    storeCategory(L"동호회", 4, 1, 0);
    const BYTE checked[] = {0x11};  // 업무 and 동호회
    const CEBLOB initial{1, const_cast<BYTE*>(checked)};

    CCategoryList list;
    list.SetListOption(&initial, 0, TRUE);
    CCategoryEditor editor;
    CMenuSelectSheet sheet(CString(L"일정"));
    sheet.AddPage(&list);
    sheet.AddPage(&editor);
    ZuModalHandlerScope scope([&](QDialog&) {
        list.GetListControl()->SetSelectedRow(1);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("category-sheet"), nullptr);
        sheet.SetActivePage(1);
        editor.GetEdit()->setText(QStringLiteral("동창회"));
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("category-editor"), nullptr);
    });
    sheet.DoModal();
}
