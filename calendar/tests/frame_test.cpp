// The calendar's main frame and start-up, driven as a user would: the bars, the view buttons,
// the notification label, the tools menu, another program's write, and the password prompt.
#include "calendarfixture.h"

#include "childprocess.h"
#include "messagebox.h"
#include "optionstore.h"
#include "popupmenu.h"
#include "programwindow.h"
#include "voregistry.h"
#include "widgets/cebuttonst.h"
#include "widgets/cecommandbarexp.h"
#include "widgets/checkpassworddlg.h"
#include "widgets/aptmsummary.h"
#include "widgets/categorylist.h"
#include "widgets/makeeventsheet.h"
#include "widgets/label.h"
#include "widgets/listviewex.h"
#include "widgets/menuselectsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/mainframe.h"
#include "widgets/zucalendarapp.h"
#include "widgets/zucalendarview.h"
#include "widgets/zumonthview.h"
#include "widgets/viewboard.h"
#include "widgets/zudatetimectrl.h"
#include "windowtestenv.h"
#include "zucalendardoc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace calfix;

namespace {

struct Box {
    std::string text, caption;
};

CVORegistry CalendarKey()
{
    return CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims\\Calendar", TRUE);
}

DWORD PublishedHandle()
{
    return CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims\\Calendar", FALSE).ReadDWORD(L"dwHWND", 0);
}

bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    for (int waited = 0; waited < ms; waited += 5) {
        if (done())
            return true;
        QTest::qWait(5);
    }
    return done();
}

QColor pixel(QWidget* w, QPoint at)
{
    return w->grab().toImage().pixelColor(at);
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));  // a Thursday
        ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT) {
            m_boxes.push_back(Box{text.toUtf8(), caption.toUtf8()});
            return IDOK;
        });
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>& entries, QPoint) -> UINT {
            m_menus.push_back(entries);
            return m_menuAnswer;
        });
    }
    void TearDown() override
    {
        m_app.reset();
        ZuSetMessageBoxHandler({});
        ZuSetPopupMenuHandler({});
        ZuSetClock({});
    }

    // Starts the program and waits for the first load of the list view.
    CMainFrame* Start()
    {
        m_app = std::make_unique<CZuCalendarApp>();
        if (!m_app->InitInstance())
            return nullptr;
        CMainFrame* frame = m_app->MainFrame();
        const int before = doc()->LoadingThread().LoadsRun();
        waitFor([&] { return doc()->LoadingThread().LoadsRun() > before || !doc()->Items().empty(); }, 500);
        QTest::qWait(20);
        return frame;
    }
    CZuCalendarDoc* doc() const { return m_app->Document(); }
    void click(CMainFrame* frame, int button)
    {
        QTest::mouseClick(frame->ImageButton(button), Qt::LeftButton);
        QTest::qWait(10);
    }

    WindowTestEnv m_env;
    std::unique_ptr<CZuCalendarApp> m_app;
    std::vector<Box> m_boxes;
    std::vector<std::vector<ZuMenuEntry>> m_menus;
    UINT m_menuAnswer = 0;
};

// "새 일정" from the bar's add menu opens the appointment editor; its OK stores the record and the
// list shows it once the store's notification reloads the document.
TEST_F(Frame, NewAppointmentFromTheAddMenuIsSavedAndShown)
{
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    CCeCommandBarExp* bar = frame->CommandBar();
    std::string caption;
    {
        ZuModalHandlerScope sheet([&](QDialog& d) {
            auto* s = qobject_cast<CMakeEventSheet*>(&d);
            ASSERT_TRUE(s);
            caption = d.windowTitle().toStdString();
            auto* subject = d.findChild<QLineEdit*>(QString::number(CAptmSummary::IDC_SUBJECT));
            ASSERT_TRUE(subject);
            subject->insert(QString::fromUtf8("점심 약속"));
            CCeCommandBarEx* sheetBar = s->GetCommandBarPtr();
            QTest::mouseClick(sheetBar, Qt::LeftButton, {}, sheetBar->GetItemRect(sheetBar->CommandToIndex(45000)).center());
        });
        m_menuAnswer = ZU_CMD_NEW_APPOINTMENT;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(0).center());
    }
    EXPECT_EQ(caption, "일정");
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(waitFor([&] {
        for (const CalendarItem& item : doc()->Items())
            if (item.subject.toUtf8() == "점심 약속")
                return true;
        return false;
    }));
}

// A tapped item opens its view board; what the board's edit and delete write reaches the list
// through the store's notifications.
TEST_F(Frame, TappedItemOpensItsBoard)
{
    add(Appointment{.subject = L"치과", .start = wall(2026, 12, 10, 14)});
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(waitFor([&] { return frame->ListView()->GetItemCount() == 1; }));
    const auto tapFirstRow = [&] {
        QTest::mouseClick(frame->ListView()->viewport(), Qt::LeftButton, {}, QPoint(100, 10));
    };
    const auto tap = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); };
    std::vector<std::string> titles;
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (auto* sheet = qobject_cast<CMakeEventSheet*>(&d)) {
                auto* subject = d.findChild<QLineEdit*>(QString::number(CAptmSummary::IDC_SUBJECT));
                ASSERT_TRUE(subject);
                subject->selectAll();
                subject->insert(QString::fromUtf8("치과 예약"));
                CCeCommandBarEx* bar = sheet->GetCommandBarPtr();
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(bar->CommandToIndex(45000)).center());
            } else if (auto* board = qobject_cast<CViewBoard*>(&d)) {
                titles.push_back(board->GetTitle().toUtf8());
                tap(board->GetEditButton());
                titles.push_back(board->GetTitle().toUtf8());
            }
        });
        tapFirstRow();
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"치과", "치과 예약"}));
    EXPECT_TRUE(waitFor([&] { return doc()->Items().size() == 1 && utf8(doc()->Items()[0].subject) == "치과 예약"; }));

    int result = -1;
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (auto* board = qobject_cast<CViewBoard*>(&d)) {
                tap(board->GetDeleteButton());
                result = board->result();
            }
        });
        tapFirstRow();
    }
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "이벤트를 지우시겠습니까?");
    EXPECT_TRUE(waitFor([&] { return doc()->Items().empty() && frame->ListView()->GetItemCount() == 0; }));
}

TEST_F(Frame, StartsWithBars)
{
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->windowTitle().toStdString().rfind("ZuCalendar", 0), 0u);
    EXPECT_EQ(frame->size(), QSize(CMainFrame::kWidth, CMainFrame::kHeight));
    // The content bar's grey right of the category button, the command bar's blue at its end.
    EXPECT_EQ(pixel(frame, QPoint(130, 2)), QColor(218, 218, 218));
    EXPECT_EQ(pixel(frame, QPoint(230, frame->height() - 3)), QColor(120, 161, 245));
    EXPECT_EQ(frame->ViewArea().top(), CMainFrame::kTopBarsHeight);
    EXPECT_EQ(frame->ListView()->geometry(), frame->ViewArea());
    EXPECT_FALSE(frame->NotificationLabel()->isVisible());
    EXPECT_EQ(frame->NotificationLabel()->geometry(), QRect(0, 0, 240, 50));
    // The published handle is this live window, and 0 once it is closed.
    const DWORD handle = PublishedHandle();
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(handle, ZuWindowHandle(frame));
    EXPECT_TRUE(IsWindow(handle));
    frame->close();
    EXPECT_EQ(PublishedHandle(), 0u);
}

TEST_F(Frame, ViewButtons)
{
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    struct Case {
        int button;
        int type, style;
        bool contentBar;
        UINT day, week, month, styleBitmap;
    };
    // Day is current at start (list style); the buttons then switch as a user presses them.
    const Case cases[] = {
        {0, ZU_VIEW_DAY, ZU_STYLE_LIST, true, 176, 178, 180, 183},    // day, pressed again
        {1, ZU_VIEW_WEEK, ZU_STYLE_LIST, true, 175, 179, 180, 183},
        {2, ZU_VIEW_MONTH, ZU_STYLE_LIST, true, 175, 178, 181, 183},
        {3, ZU_VIEW_MONTH, ZU_STYLE_GRAPHIC, true, 175, 178, 181, 182}, // month keeps the content bar
        {1, ZU_VIEW_WEEK, ZU_STYLE_GRAPHIC, false, 175, 179, 180, 182},
        {0, ZU_VIEW_DAY, ZU_STYLE_GRAPHIC, false, 176, 178, 180, 182},
        {3, ZU_VIEW_DAY, ZU_STYLE_LIST, true, 176, 178, 180, 183},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button << " -> type " << c.type << " style " << c.style);
        click(frame, c.button);
        EXPECT_EQ(doc()->ViewType(), c.type);
        EXPECT_EQ(doc()->ViewStyle(), c.style);
        // The list in list style; the day, week and month views in graphic style.
        auto* shown = qobject_cast<QWidget*>(frame->ActiveView());
        ASSERT_TRUE(shown);
        const char* const graphic[] = {"CZuDayView", "CZuWeekView", "CZuMonthView"};
        EXPECT_STREQ(shown->metaObject()->className(), c.style == ZU_STYLE_LIST ? "CZuCalendarView" : graphic[c.type]);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->geometry(), frame->ViewArea());
        EXPECT_FALSE(frame->NotificationLabel()->isVisible());
        EXPECT_EQ(frame->ContentBar()->isVisible(), c.contentBar);
        EXPECT_EQ(shown->geometry().top(), c.contentBar ? CMainFrame::kTopBarsHeight : CMainFrame::kNavigationBarHeight);
        EXPECT_EQ(frame->ImageButtonBitmap(0), c.day);
        EXPECT_EQ(frame->ImageButtonBitmap(1), c.week);
        EXPECT_EQ(frame->ImageButtonBitmap(2), c.month);
        EXPECT_EQ(frame->ImageButtonBitmap(3), c.styleBitmap);
        // The date control shows the document's caption, cut to its width.
        const CString shownText = frame->DateControl()->GetText();
        const QString caption = doc()->CaptionText().toQString();
        EXPECT_FALSE(shownText.IsEmpty());
        const QString text = shownText.toQString();
        EXPECT_TRUE(text == caption || (text.endsWith("...") && caption.startsWith(text.chopped(3))))
            << text.toStdString() << " / " << caption.toStdString();
    }
    // The navigation arrows move the current date by the view's step.
    click(frame, 0);  // day type, list style already: nothing changes
    QTest::mouseClick(frame->NavigationBar(), Qt::LeftButton, {}, frame->NavigationBar()->GetItemRect(2).center());
    EXPECT_EQ(doc()->CurrentDate().wDay, 11);
    QTest::mouseClick(frame->NavigationBar(), Qt::LeftButton, {}, frame->NavigationBar()->GetItemRect(0).center());
    EXPECT_EQ(doc()->CurrentDate().wDay, 10);
}

TEST_F(Frame, ContentTogglesAndCategoryMenu)
{
    addCategory(L"가족", 0);
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    EXPECT_EQ(doc()->ViewContents(), ZU_SHOW_ALL);
    EXPECT_EQ(frame->ImageButtonBitmap(5), 187u);
    click(frame, 5);  // appointments off
    EXPECT_EQ(doc()->ViewContents(), ZU_SHOW_ALL & ~ZU_SHOW_APPOINTMENTS);
    EXPECT_EQ(frame->ImageButtonBitmap(5), 186u);
    EXPECT_EQ(frame->ImageButtonBitmap(8), 193u);

    m_menuAnswer = ZU_CMD_CATEGORY_FIRST;  // "가족"
    CEToolBar* bar = frame->ContentBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(0).center());
    ASSERT_EQ(m_menus.size(), 1u);
    EXPECT_EQ(doc()->CategoryMode(), ZU_CATY_ONE);
    EXPECT_EQ(bar->GetButtonText(ZU_CMD_CATEGORY_BUTTON).toUtf8(), "가족");
}

// "다중선택..." opens the category sheet "일정" with the list and the editor; two checked
// categories become the filter, and cancelling the sheet keeps it.
TEST_F(Frame, SeveralCategoriesThroughTheMenuSelectSheet)
{
    addCategory(L"가족", 0);
    addCategory(L"회사", 1);
    addCategory(L"친구", 2);
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    CEToolBar* bar = frame->ContentBar();
    m_menuAnswer = ZU_CMD_CATEGORY_SEVERAL;
    std::vector<std::string> seen;
    {
        ZuModalHandlerScope sheet([&](QDialog& d) {
            seen.push_back(d.windowTitle().toStdString());
            auto* s = qobject_cast<CMenuSelectSheet*>(&d);
            ASSERT_TRUE(s);
            ASSERT_EQ(s->GetPageCount(), 2);
            EXPECT_EQ(s->GetPage(0)->objectName(), QString("134"));
            EXPECT_EQ(s->GetPage(1)->objectName(), QString("160"));
            auto* list = static_cast<CCategoryList*>(s->GetPage(0));
            ASSERT_EQ(list->GetRowCount(), 3);
            CListViewEx* view = list->GetListControl();
            for (int row : {0, 2})
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->RowRect(row).center());
            CCeCommandBarEx* sheetBar = s->GetCommandBarPtr();
            QTest::mouseClick(sheetBar, Qt::LeftButton, {}, sheetBar->GetItemRect(sheetBar->CommandToIndex(45000)).center());
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(0).center());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"일정"}));
    EXPECT_EQ(doc()->CategoryMode(), ZU_CATY_SEVERAL);
    std::vector<int> chosen;
    for (const auto& c : doc()->ChosenCategories())
        chosen.push_back(c.index);
    EXPECT_EQ(chosen, (std::vector<int>{0, 2}));

    {
        ZuModalHandlerScope sheet([&](QDialog& d) {
            auto* list = static_cast<CCategoryList*>(static_cast<CMenuSelectSheet&>(d).GetPage(0));
            EXPECT_TRUE(list->IsRowChecked(0) && !list->IsRowChecked(1) && list->IsRowChecked(2)) << "preset";
            QTest::mouseClick(list->GetListControl()->viewport(), Qt::LeftButton, {},
                              list->GetListControl()->RowRect(1).center());
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(0).center());
    }
    EXPECT_EQ(doc()->CategoryMode(), ZU_CATY_SEVERAL);
    EXPECT_EQ(doc()->ChosenCategories().size(), 2u);
}

TEST_F(Frame, StoredYearGraphic)
{
    CalendarKey().WriteDWORD(L"ViewType", ZU_VIEW_YEAR);
    CalendarKey().WriteDWORD(L"ViewStyle", ZU_STYLE_GRAPHIC);
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    auto* shown = qobject_cast<QWidget*>(frame->ActiveView());
    ASSERT_TRUE(shown);
    EXPECT_STREQ(shown->metaObject()->className(), "CZuCalendarView");  // the year has no grid
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(shown->geometry().isEmpty());
    EXPECT_TRUE(frame->NotificationLabel()->isVisible());
}

TEST_F(Frame, ReloadsOnForeignWrite)
{
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(doc()->Items().empty());
    // Another program imports today's appointment.
    QTemporaryDir dir;
    const QString ics = dir.path() + "/one.ics";
    QFile file(ics);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:one@test\r\n"
               "DTSTAMP:20261201T000000Z\r\nDTSTART:20261210T140000\r\nDTEND:20261210T150000\r\n"
               "SUMMARY:남의 회의\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    file.close();
    ZuChildProcess importer;
    ASSERT_TRUE(importer.start(ZuTestProgramFolder() + "/zupim", {"import", ics.toStdString()}));
    ASSERT_TRUE(importer.waitForFinished());
    ASSERT_EQ(importer.exitCode(), 0) << importer.err();
    ASSERT_TRUE(waitFor([&] { return doc()->Items().size() == 1 && frame->ListView()->GetItemCount() == 1; }));
    EXPECT_EQ(utf8(doc()->Items()[0].subject), "남의 회의");
}

TEST_F(Frame, NotificationLabel)
{
    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    CLabel* label = frame->NotificationLabel();
    frame->ShowNotification(L"회의", L"14:00 ~ 15:00", RGB(255, 255, 0));
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->GetText().toUtf8(), "  회의\r\n  14:00 ~ 15:00");
    EXPECT_TRUE(frame->NotificationTimer()->isActive());
    EXPECT_EQ(frame->NotificationTimer()->interval(), CMainFrame::kLabelHideMs);
    frame->ShowNotification(L"회의", L"14:00 ~ 15:00", RGB(255, 255, 0));  // again: hides
    EXPECT_FALSE(label->isVisible());
    frame->HideNotification();  // hiding a hidden label leaves it hidden
    EXPECT_FALSE(label->isVisible());
    // The time runs out; a later hide shows nothing stale.
    frame->ShowNotification(L"회의", L"14:00 ~ 15:00", RGB(255, 255, 0));
    frame->OnTimer(1);
    EXPECT_FALSE(label->isVisible());
    frame->HideNotification();
    EXPECT_FALSE(label->isVisible());
    // A click on the label hides it.
    frame->ShowNotification(L"회의", L"14:00", RGB(255, 255, 0));
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_FALSE(label->isVisible());
}

TEST_F(Frame, ToolsMenu)
{
    QTemporaryDir folder;
    const QString log = folder.path() + "/args";
    QFile script(folder.path() + "/ZuContact");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(log).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims", TRUE).WriteString(L"InstallDir", folder.path().toStdWString().c_str());

    CMainFrame* frame = Start();
    ASSERT_TRUE(frame);
    CCeCommandBarExp* bar = frame->CommandBar();
    auto openTools = [&](UINT answer) {
        m_menuAnswer = answer;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(1).center());
        QTest::qWait(10);
    };
    openTools(ZU_CMD_CONTACTS);
    ASSERT_FALSE(m_menus.empty());
    std::vector<std::string> texts;
    for (const ZuMenuEntry& e : m_menus.back())
        texts.push_back(e.separator ? "-" : e.text.toUtf8());
    EXPECT_EQ(texts, (std::vector<std::string>{"주 소 록", "-", "설     정", "-", "종료하기"}));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(log) && QFile(log).size() > 0; }));
    QFile args(log);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed().toStdString(), std::to_string(ZuWindowHandle(frame)));
    EXPECT_TRUE(m_boxes.empty());

    // The contacts button on the bar starts it too.
    QFile::remove(log);
    click(frame, 4);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(log) && QFile(log).size() > 0; }));

    // A contacts program that cannot be started is said so.
    QFile broken(folder.path() + "/ZuContact");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\x7f" "ELF not really a program");
    broken.close();
    click(frame, 4);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "주소록 프로그램을 실행할 수 없습니다!");
    m_boxes.clear();

    // "설     정" opens the options dialog with the caption "환경설정"; "종료하기" closes the window.
    {
        QString shown;
        ZuModalHandlerScope options([&](QDialog& d) { shown = d.windowTitle(); });
        openTools(ZU_CMD_OPTIONS);
        EXPECT_EQ(shown, "환경설정");
        EXPECT_TRUE(m_boxes.empty());
    }
    openTools(ZU_CMD_EXIT);
    EXPECT_TRUE(waitFor([&] { return !frame->isVisible(); }));
    EXPECT_EQ(PublishedHandle(), 0u);
}

// The password prompt comes before any window: a refusal leaves no frame and nothing published,
// the right password starts the program.
TEST_F(Frame, StartupPasswordComesFirst)
{
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"Secret7", FALSE));
    auto answerPrompt = [](const QString& typed, int key) {
        auto* poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, typed, key] {
            auto* dlg = qobject_cast<CCheckPasswordDlg*>(QApplication::activeModalWidget());
            if (!dlg || !dlg->isActiveWindow())
                return;
            poll->stop();
            poll->deleteLater();
            EXPECT_EQ(PublishedHandle(), 0u);
            if (!typed.isEmpty())
                QTest::keyClicks(QApplication::focusWidget(), typed);
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        });
        poll->start();
    };
    answerPrompt(QString(), Qt::Key_Escape);
    m_app = std::make_unique<CZuCalendarApp>();
    EXPECT_FALSE(m_app->InitInstance());
    EXPECT_EQ(m_app->MainFrame(), nullptr);
    EXPECT_EQ(PublishedHandle(), 0u);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CMainFrame*>(w) && w->isVisible());

    answerPrompt(QStringLiteral("Secret7"), Qt::Key_Return);
    m_app = std::make_unique<CZuCalendarApp>();
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_TRUE(m_app->MainFrame()->isVisible());
    EXPECT_NE(PublishedHandle(), 0u);
}

// The real program with protection on waits at its prompt with no main window published; it
// ends when the prompt is cancelled (above, in process) or when it is told to.
TEST_F(Frame, ProgramEndsWhenRefused)
{
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"Secret7", FALSE));
    ZuChildProcess program;
    ASSERT_TRUE(program.start(ZuTestProgramFolder() + "/ZuCalendar", {}));
    EXPECT_FALSE(program.waitForFinished(800));  // at the prompt
    EXPECT_EQ(PublishedHandle(), 0u);
    program.kill(SIGTERM);
    EXPECT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(PublishedHandle(), 0u);
}

// A session's end (SIGTERM) closes the program in order: its window is withdrawn from the
// registry as on "종료하기", and the document writes its settings back.
TEST_F(Frame, EndsInOrderOnTerminate)
{
    ZuChildProcess program;
    ASSERT_TRUE(program.start(ZuTestProgramFolder() + "/ZuCalendar", {}));
    ASSERT_TRUE(waitFor([] { return PublishedHandle() != 0; }, 10000));
    program.kill(SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(PublishedHandle(), 0u);
    EXPECT_EQ(CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims\\Calendar", FALSE).ReadDWORD(L"ViewType", 99), 0u);
}

}  // namespace
