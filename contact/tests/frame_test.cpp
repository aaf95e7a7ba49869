// The contacts program's frame, driven as a user would: start-up, taps, the hold menu, the
// preferred-number menu, quick search with the input method, another writer's batch, options.
#include "contactfixture.h"

#include "../resource.h"
#include "widgets/contactdetaildlg.h"
#include "../widgets/mainframe.h"
#include "../widgets/searchedit.h"
#include "../widgets/zucontactapp.h"
#include "../widgets/zucontactview.h"
#include "../zucontactdoc.h"

#include "messagebox.h"
#include "optionstore.h"
#include "popupmenu.h"
#include "registrykeys.h"
#include "storedamage.h"
#include "voregistry.h"
#include "widgets/categorylist.h"
#include "widgets/cecommandbarex.h"
#include "widgets/menuselectsheet.h"
#include "widgets/modaldialog.h"
#include "windowtestenv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <vector>

using namespace confix;

namespace {

struct Running {
    CZuContactApp app;
    CMainFrame* frame = nullptr;
    CZuContactView* view = nullptr;
    CZuContactDoc* doc = nullptr;
    Running()
    {
        app.InitInstance();
        frame = app.MainFrame();
        view = frame->View();
        doc = app.Document();
    }
    QPoint rowPoint(int row, int x = 20) const
    {
        const QRect r = view->RowRect(row);
        return QPoint(x, r.center().y());
    }
};

DWORD storedHandle()
{
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
    return key.ReadDWORD(L"dwHWND", 0);
}

}  // namespace

TEST(ContactFrame, StartupListsAllByName)
{
    WindowTestEnv env;
    const wchar_t* const mixed[] = {L"홍길동", L"kim", L"KIM", L"Akim", L"가나다", L"!bang", L"9lives", L"zed", L"Zoe",
        L"박지성", L"이영희", L"김철수", L"~tilde", L"ㄱ자모", L"Émile", L"최민", L"정수", L"ann", L"Bob", L"123"};
    for (int i = 0; i < 40; ++i) {
        CString n;
        n.Format(L"%s%d", mixed[i % 20], i / 20);
        addContact(n, {{ZUID_CON_HOME_TEL, L"02-123"}});
    }
    addContact(nullptr, {{ZUID_CON_PAGER, L"015"}});  // nameless, last
    Running r;
    EXPECT_EQ(r.frame->windowTitle(), QStringLiteral("ZuContacts"));
    ASSERT_EQ(r.view->GetItemCount(), 41);
    for (int i = 1; i < 40; ++i)
        EXPECT_LE(QString::compare(r.doc->Row(i - 1)->upper, r.doc->Row(i)->upper), 0) << i;
    EXPECT_EQ(r.view->ItemText(0, 0), CString(L"!bang0"));
    EXPECT_EQ(r.view->ItemText(0, 1), CString(L"02-123"));
    EXPECT_EQ(r.view->ItemText(0, 2), CString(L"h"));
    EXPECT_EQ(r.view->ItemText(40, 0), CString(L""));
    EXPECT_EQ(r.view->ItemText(40, 2), CString(L"p"));
    CString oid;
    oid.Format(L"%ld", static_cast<long>(r.doc->Row(3)->oid));
    EXPECT_EQ(r.view->ItemText(3, 3), oid);
    const int widths[4] = {98, 105, 22, 0};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(r.view->GetColumnWidth(c), widths[c]);
    EXPECT_EQ(storedHandle(), r.frame->Handle());
    EXPECT_NE(r.frame->Handle(), 0u);
    r.frame->close();
    EXPECT_EQ(storedHandle(), 0u);
}

// A book the store cannot read whole is said so, not shown shorter as if it were all there.
TEST(ContactFrame, AStoreThatFailsAReadIsReported)
{
    WindowTestEnv env;
    {
        ZuStoreBatch batch;
        for (int i = 0; i < 300; ++i)
            addContact(L"probe-contact-with-a-longer-name", {{ZUID_CON_HOME_TEL, L"02-123-4567"}});
        ASSERT_TRUE(batch.Commit());
    }
    const std::string file = env.home() + "/pim.db";
    ASSERT_TRUE(ZuCheckpointFile(file));
    std::string bytes = ZuFileBytes(file);
    const std::vector<size_t> pages = ZuPagesHolding(bytes, ZuUtf16Bytes("probe-contact"));
    ASSERT_GT(pages.size(), 4u);
    bytes[(pages[pages.size() / 2] - 1) * ZuPageSize(bytes)] = '\x00';  // a page of records is no page
    ASSERT_TRUE(ZuWriteFileBytes(file, bytes));
    std::vector<std::string> boxes;
    ZuSetMessageBoxHandler([&](const CString& text, const CString&, UINT) {
        boxes.push_back(text.toUtf8());
        return IDOK;
    });
    {
        Running r;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("저장된 주소록을 읽을 수 없습니다!", 0), 0u) << boxes[0];
        EXPECT_NE(boxes[0].find("pim.db"), std::string::npos) << boxes[0];
        EXPECT_LT(r.view->GetItemCount(), 300);
    }
    ZuSetMessageBoxHandler({});
}

TEST(ContactFrame, ExitLeavesAnotherInstancesHandle)
{
    WindowTestEnv env;
    Running r;
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
    key.WriteDWORD(L"dwHWND", 0x7777);  // a second instance took the entry since
    r.frame->close();
    EXPECT_EQ(storedHandle(), 0x7777u);
}

TEST(ContactFrame, TapOpensCardAndHoldCopiesOrDeletes)
{
    WindowTestEnv env;
    addCategory(L"가족", 0, 1);
    addContact(L"엄마", {{ZUID_CON_MOBILE_TEL, L"010-1"}}, {0});
    Running r;
    int cards = 0;
    CEOID shownId = 0;
    CString shownMobile;
    ZuModalHandlerScope modal([&](QDialog& d) {
        ++cards;
        if (auto* card = qobject_cast<CContactDetailDlg*>(&d)) {
            shownId = card->GetContactId();
            shownMobile = card->GetData().GetString(0x3A1C);
        }
    });
    QTest::mouseClick(r.view->viewport(), Qt::LeftButton, {}, r.rowPoint(0));
    EXPECT_EQ(cards, 1);
    EXPECT_EQ(shownId, r.doc->Row(0)->oid);  // the tapped contact's card
    EXPECT_EQ(shownMobile, CString(L"010-1"));
    EXPECT_TRUE(r.doc->Recent().Contains(r.doc->Row(0)->oid));

    UINT answer = ZU_CON_HOLD_COPY;
    std::vector<ZuMenuEntry> shown;
    ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& e, QPoint) { shown = e; return answer; });
    int boxAnswer = IDNO;
    CString boxText;
    ZuSetMessageBoxHandler([&](const CString& text, const CString& caption, UINT type) {
        boxText = text + L"/" + caption;
        EXPECT_EQ(type, MB_YESNOCANCEL | MB_ICONWARNING);
        return boxAnswer;
    });
    QTest::mouseClick(r.view->viewport(), Qt::RightButton, {}, r.rowPoint(0));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, CString(L"Create Copy"));
    EXPECT_EQ(shown[1].text, CString(L"Delete Contact"));
    EXPECT_EQ(r.view->GetItemCount(), 2);
    EXPECT_EQ(categoryContacts(L"가족"), 2);
    EXPECT_EQ(r.view->ItemText(1, 1), CString(L"010-1"));
    EXPECT_EQ(cards, 1);  // the hold's release opened nothing

    // A still pen held down offers the same menu; its release opens no card either.
    answer = 0;
    shown.clear();
    QTest::mousePress(r.view->viewport(), Qt::LeftButton, {}, r.rowPoint(0));
    ASSERT_TRUE(WaitFor([&] { return !shown.empty(); }));
    QTest::mouseRelease(r.view->viewport(), Qt::LeftButton, {}, r.rowPoint(0));
    EXPECT_EQ(cards, 1);

    answer = ZU_CON_HOLD_DELETE;
    for (int no : {IDNO, IDCANCEL}) {
        boxAnswer = no;
        QTest::mouseClick(r.view->viewport(), Qt::RightButton, {}, r.rowPoint(1));
        EXPECT_EQ(r.view->GetItemCount(), 2);
    }
    EXPECT_EQ(boxText, CString(L"현재 선택된 데이터를 삭제하시겠습니까?/경고"));
    boxAnswer = IDYES;
    QTest::mouseClick(r.view->viewport(), Qt::RightButton, {}, r.rowPoint(1));
    EXPECT_EQ(r.view->GetItemCount(), 1);
    EXPECT_EQ(categoryContacts(L"가족"), 1);
    EXPECT_EQ(cards, 1);
    ZuSetPopupMenuHandler({});
    ZuSetMessageBoxHandler({});
}

TEST(ContactFrame, PreferredNumberMenu)
{
    WindowTestEnv env;
    const CEOID oid = addContact(L"사장", {{ZUID_CON_WORK_TEL, L"02-555-0101"}, {ZUID_CON_MOBILE_TEL, L"010-9999-88887777"}});
    Running r;
    std::vector<ZuMenuEntry> shown;
    ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& e, QPoint) { shown = e; return UINT(ZUID_CON_MOBILE_TEL); });
    int cards = 0;
    ZuModalHandlerScope modal([&](QDialog&) { ++cards; });
    const QRect row = r.view->RowRect(0);
    QTest::mouseClick(r.view->viewport(), Qt::LeftButton, {}, QPoint(98 + 105 + 10, row.center().y()));
    ZuSetPopupMenuHandler({});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, CString(L"02-555-0101         \tWork Tel"));
    EXPECT_EQ(shown[1].text, CString(L"010-9999-888877\tMobile Tel"));
    EXPECT_TRUE(shown[0].checked);
    EXPECT_FALSE(shown[1].checked);
    EXPECT_EQ(cards, 0);
    CCeDBDatabase db;
    db.Open(ZU_DB_CONTACTS);
    CCeDBRecord rec;
    ASSERT_TRUE(db.SeekToRecord(oid) && db.ReadCurrRecord(&rec));
    ASSERT_NE(rec.GetFullIdProp(ZUPID_CON_PREFERRED_NUMBER), nullptr);
    EXPECT_EQ(static_cast<DWORD>(rec.GetFullIdProp(ZUPID_CON_PREFERRED_NUMBER)->GetLong()), 0x3A1C001Fu);
    EXPECT_EQ(r.view->ItemText(0, 2), CString(L"m"));
}

TEST(ContactFrame, QuickSearchFollowsPreedit)
{
    WindowTestEnv env;
    for (const wchar_t* n : {L"김철수", L"기미숙", L"나은", L"Kim", L"Akim"})
        addContact(n);
    Running r;
    CContactSearchEdit* edit = r.frame->SearchEdit();
    QTest::keyClicks(edit, QStringLiteral("ki"));
    EXPECT_EQ(r.view->GetItemCount(), 1);
    edit->clear();
    EXPECT_EQ(r.view->GetItemCount(), 5);
    // "기" still in the preedit: both 기미숙 and 김철수 stay listed.
    QInputMethodEvent compose(QStringLiteral("기"), {});
    QCoreApplication::sendEvent(edit, &compose);
    EXPECT_EQ(r.view->GetItemCount(), 2);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("김"));
    QCoreApplication::sendEvent(edit, &commit);
    EXPECT_EQ(r.view->GetItemCount(), 1);
    EXPECT_EQ(r.view->ItemText(0, 0), CString(L"김철수"));
    // An index button empties the box.
    ZuMessageEvent select(WM_INDEXSELECT, 1, 0);
    QCoreApplication::sendEvent(r.view, &select);
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(r.view->GetItemCount(), 3);  // 기미숙, 김철수, 나은
}

TEST(ContactFrame, NotificationsCoalesce)
{
    WindowTestEnv env;
    addContact(L"처음");
    Running r;
    const int before = r.doc->Rebuilds();
    std::thread writer([] {
        ZuStoreBatch batch;
        for (int i = 0; i < 200; ++i) {
            CString n;
            n.Format(L"추가%03d", i);
            addContact(n);
        }
        batch.Commit();
    });
    writer.join();
    ASSERT_TRUE(WaitFor([&] { return r.view->GetItemCount() == 201; }));
    QTest::qWait(50);
    EXPECT_LE(r.doc->Rebuilds() - before, 2);
    const int settled = r.doc->Rebuilds();
    QTest::qWait(200);
    EXPECT_EQ(r.doc->Rebuilds(), settled);  // nothing while idle
}

TEST(ContactFrame, OptionMessagesRelayout)
{
    WindowTestEnv env;
    for (int i = 0; i < 30; ++i) {
        CString n;
        n.Format(L"이름%02d", i);
        addContact(n, {{ZUID_CON_HOME_TEL, L"031"}});
    }
    Running r;
    EXPECT_EQ(r.view->geometry().top(), 24);
    COptionStore().SaveContactOpt(FALSE, TRUE, FALSE, FALSE);
    ASSERT_TRUE(WaitFor([&] { return r.view->geometry().top() == 42; }));
    COptionStore().SaveContactOpt(FALSE, TRUE, TRUE, FALSE);
    ASSERT_TRUE(WaitFor([&] { return r.view->GetColumnWidth(1) == 0; }));
    EXPECT_EQ(r.view->GetColumnWidth(0), 225);
    EXPECT_TRUE(r.view->IsTwoLine());
    ZuMessageEvent leftHanded(WM_OPTION_CHANGED, OPTCODE_LEFT_SCROLL, 1);
    QCoreApplication::sendEvent(r.frame, &leftHanded);
    QWidget* left = r.frame->findChild<QWidget*>(QString::number(ZU_IDC_CON_LEFT_SCROLL));
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(left->isVisible() || !r.frame->isVisible());
    EXPECT_EQ(left->geometry().left(), 0);
    EXPECT_EQ(r.view->geometry().left(), 12);
    // The left bar and the list follow each other.
    auto* bar = static_cast<QScrollBar*>(left);
    bar->setValue(3);
    EXPECT_EQ(r.view->GetScrollPos(), 3);
    r.view->SetScrollPos(5);
    EXPECT_EQ(bar->value(), 5);
}

TEST(ContactFrame, SeveralCategoriesThroughTheSheet)
{
    WindowTestEnv env;
    addCategory(L"가족", 0, 1);
    addCategory(L"미사용", 1, 0);
    addCategory(L"회사", 2, 1);
    addContact(L"엄마", {}, {0});
    addContact(L"부장", {}, {2});
    addContact(L"친구");
    Running r;
    ZuSetPopupMenuHandler([](const std::vector<ZuMenuEntry>&, QPoint) { return UINT(ZU_CON_CATY_SEVERAL); });
    QWidget* button = r.frame->findChild<QWidget*>(QString::number(ZU_IDC_CON_CATEGORY));
    ASSERT_NE(button, nullptr);
    auto confirm = [&](std::vector<int> rows) {
        ZuModalHandlerScope sheet([&](QDialog& d) {
            auto* s = qobject_cast<CMenuSelectSheet*>(&d);
            ASSERT_TRUE(s);
            EXPECT_EQ(d.windowTitle(), QStringLiteral("주소록"));
            auto* list = static_cast<CCategoryList*>(s->GetPage(0));
            ASSERT_EQ(list->GetRowCount(), 2);  // the category no contact carries is left out
            for (int row : rows)
                QTest::mouseClick(list->GetListControl()->viewport(), Qt::LeftButton, {},
                    list->GetListControl()->RowRect(row).center());
            CCeCommandBarEx* bar = s->GetCommandBarPtr();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(bar->CommandToIndex(45000)).center());
        });
        QTest::mouseClick(button, Qt::LeftButton);
    };
    confirm({0, 1});
    EXPECT_EQ(r.doc->CatyType(), ZU_CON_SEVERAL);
    EXPECT_EQ(r.view->GetItemCount(), 2);
    confirm({0, 1});  // both preset: the clicks untick them, so nothing is chosen
    EXPECT_EQ(r.doc->CatyType(), ZU_CON_SEVERAL);  // the kind stays, the list comes out empty
    EXPECT_EQ(r.view->GetItemCount(), 0);
    ZuSetPopupMenuHandler({});
}

TEST(ContactFrame, StartCalendar)
{
    WindowTestEnv env;
    // A live window named on our command line (the calendar that started us) is closed.
    QTemporaryDir folder;
    const std::string log = folder.path().toStdString() + "/calendar.log";
    FakeProgram calendar;
    ASSERT_TRUE(calendar.start("Calendar", log));
    CZuContactApp app;
    ASSERT_TRUE(app.InitInstance({QString::number(calendar.hwnd()), QString::number(DeadHandle())}));
    ASSERT_TRUE(WaitFor([&] {
        const auto lines = ReadLines(log);
        return !lines.empty() && lines.back().rfind("Calendar " + std::to_string(WM_CLOSE) + " ", 0) == 0;
    }));

    // "일     정" starts the calendar of "InstallDir" with our handle.
    const QString args = folder.path() + "/args";
    QFile script(folder.path() + "/ZuCalendar");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(args).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CVORegistry(HKEY_CURRENT_USER, ZuReg::Pims, TRUE).WriteString(ZuReg::InstallDir, folder.path().toStdWString().c_str());
    // The document read "InstallDir" when it was made; a new one reads it again.
    CZuContactDoc fresh(false);
    ASSERT_TRUE(fresh.StartCalendar(app.MainFrame()->Handle()));
    ASSERT_TRUE(WaitFor([&] { return QFile(args).size() > 0; }));
    QFile written(args);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().trimmed().toStdString(), std::to_string(app.MainFrame()->Handle()));

    // A calendar that cannot be started is said so.
    QFile broken(folder.path() + "/ZuCalendar");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\x7f" "ELF not really a program");
    broken.close();
    std::vector<std::string> boxes;
    ZuSetMessageBoxHandler([&](const CString& text, const CString&, UINT) {
        boxes.push_back(text.toUtf8());
        return IDOK;
    });
    EXPECT_FALSE(fresh.StartCalendar(app.MainFrame()->Handle()));
    ZuSetMessageBoxHandler({});
    EXPECT_EQ(boxes, (std::vector<std::string>{"일정 프로그램을 실행할 수 없습니다!"}));
}
