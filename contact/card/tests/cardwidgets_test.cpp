// The card, the editor sheet and its pages, driven as a user would: taps on the rows, text
// through the input method, the bar's buttons, the questions answered through their seams; the
// stored record read back.
#include "cardtestdata.h"
#include "contactcard.h"
#include "contactdetaildlg.h"
#include "contacteditor.h"
#include "contactheader.h"
#include "contactsummary.h"
#include "fieldlistctrl.h"
#include "messagebox.h"
#include "photobox.h"
#include "previewphotoimage.h"
#include "savecontact.h"
#include "storefaults.h"
#include "testhome.h"
#include "widgets/bmpbutton.h"
#include "widgets/editex.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/zudatetimectrl.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>

#include <functional>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

template <class T>
T* child(QWidget* parent, UINT id)
{
    return parent->findChild<T*>(QString::number(id));
}

void type(QWidget* edit, const QString& text)
{
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Return);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
    QTest::keyClick(edit, Qt::Key_Return);
}

CFieldListCtrl* pageList(CMakeEventSheet& sheet)
{
    return sheet.GetActivePage()->findChild<CFieldListCtrl*>();
}

// Taps the value cell of the row of that property (0: the display-name group, row 0).
void tapValue(CFieldListCtrl* list, WORD ident, int fromRight = -1)
{
    const int row = ident ? list->RowOfIdent(ident) : 0;
    ASSERT_GE(row, 0) << std::hex << ident;
    list->scrollToItem(list->item(row, 1));
    const QRect cell = list->ValueRect(row);
    const QPoint at = fromRight < 0 ? QPoint(cell.left() + 30, cell.center().y()) : QPoint(cell.right() - fromRight, cell.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

void editRow(CFieldListCtrl* list, WORD ident, const QString& text)
{
    tapValue(list, ident);
    CEditEx* edit = list->GetEdit();
    ASSERT_TRUE(edit && edit->isVisible());
    EXPECT_EQ(edit->selectedText(), edit->text()) << "all of it selected";
    type(edit, text);
}

struct Answers {
    std::vector<std::string> asked;
    int answer = IDOK;
};

class CardWidgets : public ::testing::Test {
protected:
    ZuTestHome home;
    QTemporaryDir dir;
    Answers boxes;
    ZuMessageBoxHandler oldBoxes;

    void SetUp() override
    {
        oldBoxes = ZuSetMessageBoxHandler([this](const CString& text, const CString&, UINT) {
            boxes.asked.push_back(text.toUtf8());
            return boxes.answer;
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler(oldBoxes);
        CPreviewPhotoImage::SetBrowseHandler({});
    }

    QString png(const char* name, QSize size = {180, 200})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(30, 160, 90));
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

TEST_F(CardWidgets, CardShowsHeaderPictureAndRows)
{
    const QString photo = png("me.png");
    const std::wstring path = photo.toStdWString();
    const CEOID oid = CardTestContact({{0x4013, L"홍 길동"}, {0x3A16, L"탄데무어"}, {0x3A1C, L"010-1234"}, {0x8200, path.c_str()}});
    CContactData lunar;
    ASSERT_TRUE(lunar.Load(oid));
    lunar.SetDate(0x4001, QDate(2004, 8, 15));
    lunar.SetLunar(0x4001, true);
    ASSERT_NE(SaveContact(oid, lunar), 0u);

    CContactDetailDlg card;
    ASSERT_TRUE(card.SetContact(oid));
    card.show();
    CContactHeader* header = card.GetHeader();
    EXPECT_EQ(header->GetTextX(), 115);
    ASSERT_EQ(header->GetLines().size(), 2u);
    CPhotoBox* box = header->GetPhotoBox();
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->IsLoaded());
    EXPECT_EQ(box->geometry(), QRect(6, 4, 92, 102)) << "90 × 100 inside its border at x 7";
    CFieldListCtrl* rows = card.GetRows();
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->item(0, 0)->text(), QStringLiteral("회사"));
    EXPECT_EQ(rows->item(2, 0)->text(), QStringLiteral("생일"));
    EXPECT_EQ(rows->item(2, 1)->text(), QStringLiteral("2004-09-28([음력] 08-15)"));
    // The header's text starts at x 115: ink there, none between the box and it.
    const QImage pixels = card.grab().toImage();
    bool inkRight = false, inkGap = false;
    for (int y = 6; y < 38; ++y) {
        for (int x = 115; x < 200; ++x)
            inkRight |= pixels.pixelColor(x, y).lightness() < 128;
        for (int x = 100; x < 114; ++x)
            inkGap |= pixels.pixelColor(x, y).lightness() < 128;
    }
    EXPECT_TRUE(inkRight);
    EXPECT_FALSE(inkGap);

    // Without a picture the lines move to x 10 and the box is hidden.
    const CEOID bare = CardTestContact({{0x3A1C, L"010-9"}});
    ASSERT_TRUE(card.SetContact(bare));
    EXPECT_EQ(header->GetTextX(), 10);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(rows->rowCount(), 1);
}

TEST_F(CardWidgets, CardNoteToggleShowsTheInkWindow)
{
    const QByteArray noteBytes("\x01\x02\x03\x04", 4);
    const CEBLOB blob{4, reinterpret_cast<LPBYTE>(const_cast<char*>(noteBytes.data()))};
    const CEOID oid = CardTestContact({{0x3A06, L"메모"}}, {CCeDBProp(blob, 0x0017)});
    CContactDetailDlg card;
    ASSERT_TRUE(card.SetContact(oid));
    card.show();
    CBmpButton* toggle = child<CBmpButton>(&card, 1008);
    ASSERT_TRUE(toggle && toggle->isVisible());
    QWidget* ink = card.GetInkWindow();
    if (!ink)
        GTEST_SKIP() << "no ink library";
    EXPECT_FALSE(ink->isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(ink->isVisible());
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(ink->isVisible());
}

TEST_F(CardWidgets, CardDeleteAsksAndDeletesWithItsCounts)
{
    CardTestCategory(L"A", 0, 1);
    const std::vector<BYTE> a = CardTestBitmap({0});
    const CEOID oid = CardTestContact({{0x3A06, L"철수"}}, {CCeDBProp(ZuBlobOf(a), 0x0016)});
    const auto run = [&] {
        ZuModalHandlerScope scope([&](QDialog& d) {
            QTest::mouseClick(child<CBmpButton>(&d, 1010), Qt::LeftButton);
        });
        return ZuOpenContactCard(nullptr, oid);
    };
    boxes.answer = IDCANCEL;
    EXPECT_EQ(run(), IDCANCEL);
    EXPECT_EQ(boxes.asked, (std::vector<std::string>{"주소록을 지우시겠습니까?"}));
    CCeDBRecord r;
    EXPECT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardTestContactCount(0), 1);

    // A delete the store refuses is told, and the card stays.
    boxes.answer = IDOK;
    boxes.asked.clear();
    ZuFailStoreWrites(1);
    EXPECT_EQ(run(), IDCANCEL);
    ZuFailStoreWrites(0);
    EXPECT_EQ(boxes.asked, (std::vector<std::string>{"주소록을 지우시겠습니까?", "주소록을 지우지 못했습니다."}));
    EXPECT_TRUE(CardTestRead(oid, &r));

    EXPECT_EQ(run(), IDOK);
    EXPECT_FALSE(CardTestRead(oid, &r));
    EXPECT_EQ(CardTestContactCount(0), 0);
}

TEST_F(CardWidgets, EditFromTheCardSavesInPlaceAndReloads)
{
    CardTestCategory(L"A", 0, 0);
    const CEOID oid = CardTestContact({{0x4013, L"옛이름"}, {0x3A16, L"옛회사"}, {0x3A09, L"02-1"}},
        {CCeDBProp(L"x", 0x7001)});
    CContactDetailDlg card;
    card.SetContact(oid);
    int sheets = 0;
    ZuModalHandlerScope scope([&](QDialog& d) {
        if (auto* sheet = qobject_cast<CMakeEventSheet*>(&d)) {
            ++sheets;
            EXPECT_EQ(sheet->windowTitle(), QStringLiteral("주소록"));
            EXPECT_EQ(sheet->GetPageCount(), 6);
            CFieldListCtrl* list = pageList(*sheet);
            EXPECT_EQ(list->item(0, 1)->text(), QStringLiteral("옛이름"));
            editRow(list, 0, QStringLiteral("김 철수"));
            EXPECT_EQ(list->item(0, 1)->text(), QStringLiteral("김 철수 "));
            editRow(list, 0x3A16, QStringLiteral("새회사"));
            editRow(list, 0x3A09, QString());
            // The category row brings the category list (index 4) forward.
            tapValue(list, 0x0016);
            EXPECT_EQ(sheet->GetActiveIndex(), 4);
            sheet->accept();
            return;
        }
        QTest::mouseClick(child<CBmpButton>(&d, 1009), Qt::LeftButton);
        EXPECT_EQ(static_cast<CContactDetailDlg&>(d).GetRows()->item(0, 1)->text(), QStringLiteral("새회사"));
    });
    card.DoModal();
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(card.GetContactId(), oid);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4013)), "김 철수");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A11)), "김");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A16)), "새회사");
    EXPECT_EQ(r.GetIdProp(0x3A09), nullptr);
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x7001)), "x");
}

TEST_F(CardWidgets, SaveFailureVisible)
{
    CardTestCategory(L"A", 0, 0);
    const CEOID oid = CardTestContact({{0x3A16, L"옛회사"}});
    CContactDetailDlg card;
    card.SetContact(oid);
    ZuModalHandlerScope scope([&](QDialog& d) {
        if (auto* sheet = qobject_cast<CMakeEventSheet*>(&d)) {
            editRow(pageList(*sheet), 0x3A16, QStringLiteral("새회사"));
            ZuFailStoreWrites(1);
            sheet->accept();
            return;
        }
        QTest::mouseClick(child<CBmpButton>(&d, 1009), Qt::LeftButton);
        ZuFailStoreWrites(0);
        EXPECT_TRUE(d.isVisible()) << "the card stays";
        EXPECT_EQ(static_cast<CContactDetailDlg&>(d).GetRows()->item(0, 1)->text(), QStringLiteral("옛회사"));
    });
    EXPECT_EQ(card.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.asked, (std::vector<std::string>{"주소록을 저장하지 못했습니다."}));
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A16)), "옛회사");

    CEOID none = 0;
    ZuModalHandlerScope fail([&](QDialog& d) {
        ZuFailStoreWrites(1);
        static_cast<CMakeEventSheet&>(d).accept();
    });
    EXPECT_EQ(ZuEditContact(nullptr, none), 0);
    ZuFailStoreWrites(0);
    EXPECT_EQ(CardTestContactCount(), 1u);
}

TEST_F(CardWidgets, DetailPageDatesLunarToggleAndClear)
{
    const CEOID oid = CardTestContact({{0x3A06, L"철수"}});
    CEOID id = oid;
    ZuModalHandlerScope scope([&](QDialog& d) {
        auto& sheet = static_cast<CMakeEventSheet&>(d);
        ASSERT_TRUE(sheet.SetActivePage(1));
        CFieldListCtrl* list = pageList(sheet);
        EXPECT_EQ(list->item(0, 1)->text(), QStringLiteral("주소를 입력하세요!"));
        // The home address parts are rows; the group shows them joined.
        editRow(list, 0x4043, QStringLiteral("100-011"));
        editRow(list, 0x4040, QStringLiteral("태평로"));
        EXPECT_EQ(list->item(0, 1)->text(), QStringLiteral("(100-011) 태평로 "));
        // A tap on the birthday puts the picker there with today; a pick stores the date.
        tapValue(list, 0x4001);
        CZUDateTimeCtrl* picker = list->GetPicker();
        ASSERT_TRUE(picker && picker->isVisible());
        EXPECT_EQ(picker->objectName(), QStringLiteral("2500"));
        EXPECT_EQ(picker->GetDate(), QDate::currentDate());
        emit picker->dateChanged(QDate(1990, 5, 17));
        const int row = list->RowOfIdent(0x4001);
        EXPECT_EQ(list->item(row, 1)->text(), QStringLiteral("1990-05-17"));
        // The rightmost 20 px toggle the lunar flag; the marker turns blue.
        tapValue(list, 0x4001, 8);
        const QRect cell = list->ValueRect(row);
        const QImage marked = list->viewport()->grab().toImage();
        bool blue = false;
        for (int x = cell.right() - 19; x <= cell.right(); ++x)
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                {
                const QColor c = marked.pixelColor(x, y);
                blue |= c.blue() > 110 && c.red() < 60 && c.green() < 60;
            }
        EXPECT_TRUE(blue);
        // 지우기 on the anniversary after a pick takes it away again.
        tapValue(list, 0x4003);
        emit list->GetPicker()->dateChanged(QDate(2000, 1, 2));
        QTest::mouseClick(list->GetClearButton(), Qt::LeftButton);
        EXPECT_EQ(list->item(list->RowOfIdent(0x4003), 1)->text(), QString());
        sheet.accept();
    });
    ASSERT_EQ(ZuEditContact(nullptr, id), IDOK);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(ZuRecordInt(r, 0x8201), 1);
    EXPECT_EQ(r.GetIdProp(0x4003), nullptr);
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4043)), "100-011");
    CContactData d;
    ASSERT_TRUE(d.Load(oid));
    EXPECT_EQ(d.GetDate(0x4001), QDate(1990, 5, 17));
}

TEST_F(CardWidgets, PicturePage)
{
    const QString first = png("first.png");
    const QString second = png("second.png", {45, 50});
    const QString broken = dir.filePath("broken.jpg");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("garbage");
    }
    const std::wstring firstPath = first.toStdWString();
    const CEOID oid = CardTestContact({{0x3A06, L"사진"}, {0x8200, firstPath.c_str()}});
    QStringList filters;
    std::vector<QString> chosen{second, broken};
    CPreviewPhotoImage::SetBrowseHandler([&](QWidget*, const QString& filter) {
        filters << filter;
        const QString next = chosen.front();
        chosen.erase(chosen.begin());
        return CString::fromQString(next);
    });
    const auto run = [&](const std::function<void(CPreviewPhotoImage&)>& drive) {
        CEOID id = oid;
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto& sheet = static_cast<CMakeEventSheet&>(d);
            ASSERT_TRUE(sheet.SetActivePage(2));
            EXPECT_EQ(sheet.GetTabControl()->tabText(2), QStringLiteral("사진설정"));
            drive(*static_cast<CPreviewPhotoImage*>(sheet.GetActivePage()));
            sheet.accept();
        });
        EXPECT_EQ(ZuEditContact(nullptr, id), IDOK);
    };
    const auto stored = [&] {
        CCeDBRecord r;
        EXPECT_TRUE(CardTestRead(oid, &r));
        return ZuRecordString(r, 0x8200).toQString();
    };
    run([&](CPreviewPhotoImage& page) {
        EXPECT_TRUE(page.GetCheck()->isChecked());
        EXPECT_EQ(page.GetPathEdit()->text(), first);
        EXPECT_TRUE(page.GetBox()->IsLoaded());
        EXPECT_EQ(page.GetBox()->geometry(), QRect(69, 109, 92, 102));
        QTest::mouseClick(page.GetBrowseButton(), Qt::LeftButton);
        EXPECT_EQ(page.GetPathEdit()->text(), second);
        EXPECT_EQ(page.GetBox()->GetImageWidth(), 45);
    });
    EXPECT_EQ(stored(), second);
    ASSERT_EQ(filters.size(), 1);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("그래픽 파일 (*.jpg *.gif *.bmp *.png *.JPG")));
    EXPECT_TRUE(filters[0].endsWith(QStringLiteral("모든 파일 (*.*) (*)")));

    // An undecodable file leaves the box empty and keeps the path.
    run([&](CPreviewPhotoImage& page) {
        QTest::mouseClick(page.GetBrowseButton(), Qt::LeftButton);
        EXPECT_FALSE(page.GetBox()->IsLoaded());
    });
    EXPECT_EQ(stored(), broken);

    // Clearing the check hides the controls; the save removes the path.
    run([&](CPreviewPhotoImage& page) {
        QTest::mouseClick(page.GetCheck(), Qt::LeftButton);
        EXPECT_FALSE(page.GetPathEdit()->isVisible());
        EXPECT_FALSE(page.GetBox()->isVisible());
    });
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(r.GetIdProp(0x8200), nullptr);
}

TEST_F(CardWidgets, NewContact)
{
    CardTestCategory(L"A", 0, 0);
    ZuModalHandlerScope scope([&](QDialog& d) {
        auto& sheet = static_cast<CMakeEventSheet&>(d);
        CFieldListCtrl* list = pageList(sheet);
        EXPECT_EQ(list->item(0, 1)->text(), QStringLiteral("이름을 입력하세요!"));
        editRow(list, 0, QStringLiteral("김 철수"));
        editRow(list, 0x3A1C, QStringLiteral("010-5555"));
        sheet.accept();
    });
    CEOID oid = 0;
    ASSERT_EQ(ZuNewContact(nullptr, &oid), IDOK);
    ASSERT_NE(oid, 0u);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4013)), "김 철수");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A1C)), "010-5555");
    EXPECT_EQ(CardTestContactCount(), 1u);

    ZuModalHandlerScope cancel([](QDialog& d) { d.reject(); });
    CEOID none = 0;
    EXPECT_EQ(ZuNewContact(nullptr, &none), IDCANCEL);
    EXPECT_EQ(CardTestContactCount(), 1u);
}

}  // namespace
