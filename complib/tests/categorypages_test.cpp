// The pages "그룹선택" and "그룹추가/삭제" in a running sheet, driven with clicks and keys: checks and
// the bitmap they give, a tab never opened, adding and deleting, and changes made meanwhile by
// this page's neighbour or by another program.
#include "categorytestdata.h"
#include "childprocess.h"
#include "messagebox.h"
#include "pimstore.h"
#include "testhome.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/cebuttonst.h"
#include "widgets/listviewex.h"
#include "widgets/modaldialog.h"
#include "widgets/propertysheet.h"
#include "windowtestenv.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class CategoryPages : public ::testing::Test {
protected:
    ZuTestHome home;

    // Runs a sheet of the pages with `drive` as its user, then OK.
    int runSheet(const std::vector<CPropertyPage*>& pages, UINT first, const std::function<void(CPropertySheet&)>& drive)
    {
        CPropertySheet sheet(CString(L"일정"), nullptr, first);
        for (CPropertyPage* p : pages)
            sheet.AddPage(p);
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto& s = static_cast<CPropertySheet&>(d);
            drive(s);
            s.accept();
        });
        return sheet.DoModal();
    }

    // An appointment carrying the bitmap.
    static DWORD storeAppointment(const std::vector<BYTE>& bitmap)
    {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBRecord r;
        const CCeDBProp subject(L"회의", ZUID_APT_SUBJECT);
        const CCeDBProp categories(ZuBlobOf(bitmap), ZUID_APT_CATEGORIES);
        r.AddProp(&subject);
        r.AddProp(&categories);
        return db.WriteRecord(r, 0);
    }

    static std::vector<BYTE> take(CEBLOB& blob)
    {
        std::vector<BYTE> out(blob.lpb, blob.lpb + blob.dwCount);
        LocalFree(blob.lpb);
        blob = CEBLOB();
        return out;
    }

    // Text typed as a user types it: Korean through the input method (one commit), the rest as keys.
    static void type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(edit, c.toLatin1());
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QCoreApplication::sendEvent(edit, &commit);
            }
        }
    }

    static void clickRow(CCategoryList& list, int row)
    {
        CListViewEx* view = list.GetListControl();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->RowRect(row).center());
    }

    static std::vector<std::wstring> rows(const CCategoryList& list)
    {
        std::vector<std::wstring> out;
        for (int i = 0; i < list.GetRowCount(); ++i)
            out.push_back(list.GetRowText(i).str() + (list.IsRowChecked(i) ? L" [v]" : L""));
        return out;
    }

    static std::vector<std::wstring> items(const CCategoryEditor& editor)
    {
        std::vector<std::wstring> out;
        for (int i = 0; i < editor.GetList()->count(); ++i)
            out.push_back(editor.GetList()->item(i)->text().toStdWString() + L" #"
                + std::to_wstring(editor.GetList()->item(i)->data(Qt::UserRole).toInt()));
        return out;
    }

    // Whether the check box of the row shows a tick: a dark pixel inside the box.
    static bool tickShown(CCategoryList& list, int row)
    {
        CListViewEx* view = list.GetListControl();
        const QImage shot = view->viewport()->grab().toImage();
        const QRect r = view->RowRect(row);
        const int top = r.top() + (r.height() - 13) / 2;
        for (int y = top + 3; y < top + 10; ++y)
            for (int x = 2 + 3; x < 2 + 10; ++x)
                if (qGray(shot.pixel(x, y)) < 128)
                    return true;
        return false;
    }
};

TEST_F(CategoryPages, ClicksToggleTheChecksAndGiveTheBlob)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 3);
    ZuTestStoreCategory(L"친구", 9);
    const DWORD oid = storeAppointment({0x08, 0x02});
    CCategoryList list;
    list.SetListOption(oid, ZU_SEL_APPOINTMENTS, FALSE);
    runSheet({&list}, 0, [&](CPropertySheet& sheet) {
        EXPECT_EQ(sheet.GetTabControl()->tabText(0), QStringLiteral("그룹선택"));
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무", L"가족 [v]", L"친구 [v]"}));
        EXPECT_FALSE(tickShown(list, 0));
        EXPECT_TRUE(tickShown(list, 1));
        clickRow(list, 0);  // one click, one toggle
        clickRow(list, 2);
        clickRow(list, 2);
        EXPECT_TRUE(tickShown(list, 0));
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무 [v]", L"가족 [v]", L"친구 [v]"}));
        // The row last pressed is selected: its label (not its check box) in the highlight colour.
        CListViewEx* view = list.GetListControl();
        const QImage shot = view->viewport()->grab().toImage();
        const int y2 = view->RowRect(2).center().y(), y0 = view->RowRect(0).center().y();
        EXPECT_EQ(shot.pixelColor(18, y2), QColor(0, 0, 128));
        EXPECT_EQ(shot.pixelColor(1, y2), QColor(255, 255, 255));
        EXPECT_EQ(shot.pixelColor(18, y0), QColor(255, 255, 255));
    });
    EXPECT_FALSE(list.HasWindow());
    CEBLOB blob;
    EXPECT_EQ(list.GetCategories(&blob), 3);
    EXPECT_EQ(take(blob), (std::vector<BYTE>{0x09, 0x02, 0x00, 0x00}));
    CArray<_tabCATEGORYMENU> menu;
    EXPECT_EQ(list.GetCategories(&menu), 3);
    ASSERT_EQ(menu.GetSize(), 3);
    EXPECT_EQ(menu[0].nCmdId, 301u);
    EXPECT_EQ(menu[2].nCmdId, 303u);
    EXPECT_EQ(menu[1].nIndex, 3);
    EXPECT_EQ(menu[2].nIndex, 9);
    EXPECT_EQ(list.GetCategories(static_cast<CEBLOB*>(nullptr)), -1);
}

TEST_F(CategoryPages, LeavingThePageRefreshesTheAutoSaveBlob)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 10);
    CCategoryList list;
    list.SetListOption(0, FALSE);
    CEBLOB saved;
    EXPECT_EQ(list.SetAutoSave(nullptr), 0);
    EXPECT_EQ(list.SetAutoSave(&saved), 1);
    CCategoryEditor editor;
    runSheet({&list, &editor}, 0, [&](CPropertySheet& sheet) {
        clickRow(list, 1);
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(std::vector<BYTE>(saved.lpb, saved.lpb + saved.dwCount), (std::vector<BYTE>{0, 0x04, 0, 0}));
        EXPECT_EQ(sheet.GetTabControl()->tabText(0), QString());
        ASSERT_TRUE(sheet.SetActivePage(0));
        clickRow(list, 1);
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(saved.dwCount, 0u);
        EXPECT_EQ(saved.lpb, nullptr);
    });
}

TEST_F(CategoryPages, NeverOpenedTabKeepsTheStoredBlob)
{
    ZuTestStoreCategory(L"업무", 3);
    // Bit 39 has no category: only a page the user never saw may give it back.
    const std::vector<BYTE> stored{0x08, 0x00, 0x00, 0x00, 0x80};
    const DWORD oid = storeAppointment(stored);
    CCategoryList fromRecord;
    fromRecord.SetListOption(oid, ZU_SEL_APPOINTMENTS, FALSE);

    std::vector<BYTE> callers{0x08, 0x00, 0x00, 0x00, 0x80};
    CEBLOB initial{static_cast<DWORD>(callers.size()), callers.data()};
    CCategoryList fromBlob;
    fromBlob.SetListOption(&initial, 0, FALSE);
    callers.assign(callers.size(), 0xFF);  // the caller's buffer is its own again

    CCategoryEditor editor;
    runSheet({&editor, &fromRecord}, 0, [](CPropertySheet&) {});
    EXPECT_FALSE(fromRecord.HasWindow());
    CEBLOB blob;
    blob.lpb = static_cast<LPBYTE>(LocalAlloc(LPTR, 3));  // a buffer already there is freed
    blob.dwCount = 3;
    EXPECT_EQ(fromRecord.GetCategories(&blob), 5);
    EXPECT_EQ(take(blob), stored);
    EXPECT_EQ(fromBlob.GetCategories(&blob), 5);
    EXPECT_EQ(take(blob), stored);
    CArray<_tabCATEGORYMENU> menu;
    EXPECT_EQ(fromBlob.GetCategories(&menu), 2);

    // Opened, the copy preselects; the bit without a category is then dropped.
    runSheet({&fromBlob}, 0, [&](CPropertySheet&) { EXPECT_EQ(rows(fromBlob), (std::vector<std::wstring>{L"업무 [v]"})); });
    EXPECT_EQ(fromBlob.GetCategories(&blob), 1);
    EXPECT_EQ(take(blob), (std::vector<BYTE>{0x08, 0x00, 0x00, 0x00}));
}

TEST_F(CategoryPages, AddingAHiddenNameShowsItAgain)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 4, 0, 0, 0, 2);  // hidden, two tasks carry it
    CCategoryList list;
    list.SetListOption(0, FALSE);
    CCategoryEditor editor;
    runSheet({&list, &editor}, 0, [&](CPropertySheet& sheet) {
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무"}));
        clickRow(list, 0);
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(sheet.GetTabControl()->tabText(1), QStringLiteral("그룹추가/삭제"));
        EXPECT_EQ(items(editor), (std::vector<std::wstring>{L"업무 #0"}));
        type(editor.GetEdit(), QStringLiteral(" 가족 "));
        EXPECT_TRUE(editor.GetAddButton()->isEnabled());
        QTest::mouseClick(editor.GetAddButton(), Qt::LeftButton);
        EXPECT_EQ(items(editor), (std::vector<std::wstring>{L"가족 #4", L"업무 #0"}));
        // The list page hears of the change and keeps its check.
        EXPECT_TRUE(WaitFor([&] { return list.GetRowCount() == 2; }));
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무 [v]", L"가족"}));
    });
    EXPECT_EQ(ZuTestReadCategory(4).props, (std::vector<long long>{1, 0, 0, 2}));
}

TEST_F(CategoryPages, DeletingAUsedCategoryHidesIt)
{
    ZuTestStoreCategory(L"업무", 0, 1, 0, 0, 1);  // one task carries it
    ZuTestStoreCategory(L"여행", 1);
    CCategoryEditor editor;
    CCategoryList list;
    list.SetListOption(0, TRUE);
    runSheet({&editor, &list}, 0, [&](CPropertySheet& sheet) {
        QListWidget* box = editor.GetList();
        EXPECT_FALSE(editor.GetDeleteButton()->isEnabled());
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, box->visualItemRect(box->item(0)).center());
        EXPECT_TRUE(editor.GetDeleteButton()->isEnabled());
        EXPECT_FALSE(editor.GetAddButton()->isEnabled());
        QTest::mouseClick(editor.GetDeleteButton(), Qt::LeftButton);
        EXPECT_EQ(items(editor), (std::vector<std::wstring>{L"여행 #1"}));
        EXPECT_EQ(box->currentRow(), 0);  // the item now at that place
        QTest::mouseClick(editor.GetDeleteButton(), Qt::LeftButton);
        EXPECT_TRUE(items(editor).empty());
        EXPECT_FALSE(editor.GetDeleteButton()->isEnabled());
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무 (not in Category List)"}));
    });
    EXPECT_EQ(ZuTestReadCategory(0).props, (std::vector<long long>{0, 0, 0, 1}));
    EXPECT_TRUE(ZuTestReadCategory(1).props.empty());
}

TEST_F(CategoryPages, NamesAreTrimmedAndCommasConverted)
{
    CCategoryEditor editor;
    runSheet({&editor}, 0, [&](CPropertySheet&) {
        const auto addLook = [&] {
            const QImage shot = editor.grab().toImage();
            return shot.pixelColor(155, 15);  // inside Add, left of its label
        };
        EXPECT_LT(std::abs(addLook().red() - addLook().blue()), 20);  // grey: nothing to add
        type(editor.GetEdit(), QStringLiteral("  집,회사 "));
        EXPECT_GT(addLook().blue(), addLook().red() + 40);  // the blue of a button that adds
        QTest::mouseClick(editor.GetAddButton(), Qt::LeftButton);
        EXPECT_EQ(items(editor), (std::vector<std::wstring>{L"집\xFF0C회사 #0"}));
        EXPECT_TRUE(editor.GetEdit()->text().isEmpty());
        EXPECT_FALSE(editor.GetAddButton()->isEnabled());
        // Only spaces: nothing is stored and the edit starts over.
        type(editor.GetEdit(), QStringLiteral("   "));
        QTest::mouseClick(editor.GetAddButton(), Qt::LeftButton);
        EXPECT_EQ(editor.GetList()->count(), 1);
        EXPECT_TRUE(editor.GetEdit()->text().isEmpty());
    });
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    EXPECT_EQ(db.GetRecordCount(), 1u);
}

TEST_F(CategoryPages, NoFreeIndexSaysFailToInsert)
{
    {
        ZuStoreBatch batch;
        for (int i = 0; i <= 32767; ++i)
            ZuTestStoreCategory(L"c" + std::to_wstring(i), i, 0);  // hidden: the editor's list stays short
        ASSERT_TRUE(batch.Commit());
    }
    std::vector<std::wstring> boxes;
    ZuSetMessageBoxHandler([&](const CString& text, const CString&, UINT) {
        boxes.push_back(text.str());
        return IDOK;
    });
    CCategoryEditor editor;
    runSheet({&editor}, 0, [&](CPropertySheet&) {
        type(editor.GetEdit(), QStringLiteral("하나 더"));
        QTest::mouseClick(editor.GetAddButton(), Qt::LeftButton);
        EXPECT_EQ(editor.GetEdit()->text(), QStringLiteral("하나 더"));
        EXPECT_EQ(editor.GetList()->count(), 0);
    });
    ZuSetMessageBoxHandler(nullptr);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Fail to insert category"}));
}

TEST_F(CategoryPages, ChangesFromAnotherProgramKeepTheChecks)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 1);
    CCategoryList list;
    list.SetListOption(0, FALSE);
    runSheet({&list}, 0, [&](CPropertySheet&) {
        clickRow(list, 1);
        ZuChildProcess writer;
        ASSERT_TRUE(writer.start(ZuTestProgramFolder() + "/complib_category_writer", {"동호회"}));
        ASSERT_TRUE(writer.waitForFinished());
        ASSERT_EQ(writer.exitCode(), 0) << writer.err();
        EXPECT_TRUE(WaitFor([&] { return list.GetRowCount() == 3; }));
        EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"업무", L"가족 [v]", L"동호회"}));
        EXPECT_TRUE(tickShown(list, 1));
    });
    CEBLOB blob;
    EXPECT_EQ(list.GetCategories(&blob), 1);
    EXPECT_EQ(take(blob), (std::vector<BYTE>{0x02, 0x00, 0x00, 0x00}));
}

}  // namespace
