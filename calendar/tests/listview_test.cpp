// The calendar's list view on a real document and store: what each row draws, the progress
// column, the context menu and the record commands, the left scroll bar, loads for other views,
// the pen, and the launcher the first update closes.
#include "calendarfixture.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "programwindow.h"
#include "resource.h"
#include "windowmessage.h"
#include "windowtestenv.h"
#include "zucalendardoc.h"
#include "widgets/holdrecognizer.h"
#include "widgets/zucalendarview.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

using namespace calfix;

namespace {

constexpr int kRow = 36;

// What the view asks of its frame: a host window with the left scroll bar, the record cards.
class FakeFrame : public ICalendarFrame {
public:
    QWidget host;
    QScrollBar* bar = new QScrollBar(Qt::Vertical, &host);
    CZuCalendarView* view = nullptr;
    QObject other;  // a view of another type and style
    std::vector<std::pair<int, DWORD>> cards;
    std::vector<FILETIME> cardStarts;  // the occurrence each card was opened on
    std::vector<std::string> editors;

    FakeFrame()
    {
        host.resize(240, 320);
        bar->setObjectName("1013");
        bar->hide();
    }
    QObject* ViewFor(int, int style) override { return style == ZU_STYLE_LIST ? static_cast<QObject*>(view) : &other; }
    QObject* ActiveView() override { return view; }
    void SwitchView(int, int) override {}
    void SetCaption(const CString&, COLORREF, const SYSTEMTIME&) override {}
    void SetWindowTitle(const CString&) override {}
    void CloseDateDropDown() override {}
    void SetCategoryButtonText(const CString&) override {}
    void SetViewTypeButtons(int) override {}
    void SetStyleButton(int) override {}
    void SetContentButtons(DWORD) override {}
    void HideLeftScrollBar() override { bar->hide(); }
    void SetListBigFont(bool big) override { view->SetListBigFont(big); }
    void InvalidateListView() override { view->viewport()->update(); }
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>&) override { return 0; }
    bool RunCategorySheet(std::vector<int>&) override { return false; }
    void RunRecordEditor(int kind, const SYSTEMTIME& d, bool anniversary) override
    {
        char text[64];
        std::snprintf(text, sizeof text, "%d %04d-%02d-%02d %02d:%02d%s", kind, d.wYear, d.wMonth, d.wDay, d.wHour,
                      d.wMinute, anniversary ? " anniversary" : "");
        editors.push_back(text);
    }
    void ShowOptions() override {}
    DWORD MainWindowHandle() override { return 0; }
    void OpenRecordCard(int selector, DWORD oid, const FILETIME& start) override
    {
        cards.emplace_back(selector, oid);
        cardStarts.push_back(start);
    }
    QScrollBar* LeftScrollBar() override { return bar; }
};

// Counts the WM_ITEMS_LOADED a view gets.
class LoadCounter : public QObject {
public:
    int loads = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED)
            ++loads;
        return false;
    }
};

// One solid colour per image, so a pixel names the image drawn there.
QColor imageColor(int i) { return QColor(20 + 20 * i, 240 - 20 * i, 60 + 15 * i); }

CZuImageList syntheticImages(int count)
{
    QPixmap strip(16 * count, 16);
    QPainter p(&strip);
    for (int i = 0; i < count; ++i)
        p.fillRect(16 * i, 0, 16, 16, imageColor(i));
    p.end();
    CZuImageList list;
    list.Create(strip, 16, RGB(255, 255, 255));
    return list;
}

bool isBlueText(QColor c) { return c.blue() > 180 && c.red() < 120 && c.green() < 120; }
bool isOrange(QColor c) { return c == QColor(255, 153, 0); }

class ListView : public ::testing::Test {
protected:
    void SetUp() override { ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9))); }  // Thursday
    void TearDown() override
    {
        ZuSetPopupMenuHandler({});
        ZuSetMessageBoxHandler({});
        ZuSetClock({});
    }

    // The document and the view over the fixture already in the store, with the day loaded.
    void open()
    {
        doc.emplace(&frame);
        view = new CZuCalendarView(&*doc, &frame.host);
        frame.view = view;
        view->setGeometry(0, 47, 240, 273);
        view->SetImageList(syntheticImages(11));
        view->installEventFilter(&counter);
        frame.host.show();
        view->OnInitialUpdate();
        reload();
    }
    // Asks for the current day's items and waits until the view has them.
    void reload()
    {
        const int before = counter.loads;
        doc->RequestLoad(view);
        ASSERT_TRUE(WaitFor([&] { return counter.loads > before; }, 5000));
    }
    QImage image() { return view->viewport()->grab().toImage(); }
    QPoint rowPoint(int row) { return QPoint(100, row * kRow + 10); }
    int indexOf(const char* subject)
    {
        for (size_t i = 0; i < doc->Items().size(); ++i)
            if (utf8(doc->Items()[i].subject).find(subject) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    }
    // A right-button press (a hold at once) and its release; returns the menu shown.
    std::vector<ZuMenuEntry> hold(QPoint at, UINT answer = 0)
    {
        std::vector<ZuMenuEntry> shown;
        ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& entries, QPoint) {
            shown = entries;
            return answer;
        });
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, at);
        ZuSetPopupMenuHandler({});
        return shown;
    }
    static int storeCount(int selector)
    {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, selector));
        return static_cast<int>(db.GetRecordCount());
    }

    ZuTestHome home;
    FakeFrame frame;
    LoadCounter counter;
    std::optional<CZuCalendarDoc> doc;
    CZuCalendarView* view = nullptr;
};

}  // namespace

TEST_F(ListView, RowsIconsText)
{
    add(Appointment{.subject = L"먼저", .start = wall(2026, 12, 10, 9)});
    add(Appointment{.subject = L"늦은", .start = wall(2026, 12, 10, 15)});
    add(Appointment{.subject = L"기일", .start = wall(2026, 12, 10), .minutes = 1440, .allDay = true, .memorial = true});
    add(Contact{.name = L"음력", .birthday = wall(1980, 11, 2), .birthdayLunar = true});  // lunar 11/2 = 10 Dec 2026
    add(Task{.subject = L"보통", .start = wall(2026, 12, 10), .due = wall(2026, 12, 10), .importance = 1});
    add(Task{.subject = L"급한", .start = wall(2026, 12, 10), .due = wall(2026, 12, 10), .importance = 2});
    open();
    ASSERT_EQ(view->GetItemCount(), 6);
    const ItemCounts& c = doc->Counts();
    ASSERT_EQ(c.firstAnniversary, 2);
    ASSERT_EQ(c.beforeTasks, 4);
    EXPECT_EQ(view->GetColumnWidth(0), 210);  // the progress column stays on screen
    EXPECT_EQ(view->GetColumnWidth(1), 30);

    const QImage shot = image();
    // The kind's image only on the first row of each group, the priority image on every task.
    const std::vector<std::optional<int>> kindImage = {0, std::nullopt, 1, std::nullopt, 2, std::nullopt};
    for (int row = 0; row < 6; ++row) {
        const QColor at = shot.pixelColor(8, row * kRow + 9);
        if (kindImage[row])
            EXPECT_EQ(at, imageColor(*kindImage[row])) << "row " << row;
        else
            EXPECT_EQ(at, QColor(255, 255, 255)) << "row " << row;
    }
    for (int row : {4, 5}) {
        const int priority = doc->Items()[row].priority;
        EXPECT_EQ(shot.pixelColor(25, row * kRow + 9), imageColor(priority + 6)) << "row " << row;
    }

    // The time text in blue on the second line; the lunar one drawn in full, in two parts.
    auto blueSpan = [&](int row) {
        int left = -1, right = -1;
        for (int x = 0; x < 210; ++x)
            for (int y = row * kRow + 18; y < row * kRow + 35; ++y)
                if (isBlueText(shot.pixelColor(x, y))) {
                    left = left < 0 ? x : left;
                    right = x;
                }
        return std::pair(left, right);
    };
    EXPECT_GE(blueSpan(0).first, 18);
    const int lunar = 3;
    const QString time = QString::fromStdWString(doc->Items()[lunar].timeText.str());
    ASSERT_EQ(time.toStdString(), "12/10 (음 11/2)");
    const QFontMetrics metrics(view->ListFont());
    const int tailLeft = 18 + metrics.horizontalAdvance("12/10") + metrics.horizontalAdvance(' ');
    const auto [left, right] = blueSpan(lunar);
    EXPECT_LE(left, 20);
    EXPECT_NEAR(right, tailLeft + metrics.horizontalAdvance("(음 11/2)"), 3);

    // An image list without the priority images draws none, and nothing else in their place.
    view->SetImageList(syntheticImages(3));
    const QImage few = image();
    EXPECT_EQ(few.pixelColor(25, 4 * kRow + 9), QColor(255, 255, 255));
    EXPECT_EQ(few.pixelColor(8, 4 * kRow + 9), imageColor(2));

    // The big-font option draws the subjects in the bold font: more ink on the first line.
    auto ink = [](const QImage& img) {
        int n = 0;
        for (int x = 18; x < 200; ++x)
            for (int y = 0; y < 18; ++y)
                n += img.pixelColor(x, y).lightness() < 128;
        return n;
    };
    const int normal = ink(few);
    doc->OnOptionChanged(34, 1);
    EXPECT_TRUE(view->IsBigFont());
    EXPECT_GT(ink(image()), normal);
}

TEST_F(ListView, TaskProgress)
{
    struct Case {
        int progress;
        bool bar;
        bool selected;
        int filled;  // pixels of the bar's middle line in the fill colour
    };
    const Case cases[] = {
        {40, true, false, 12}, {0, true, false, 0}, {100, true, false, 30}, {-5, true, false, 0},
        {150, true, false, 30}, {40, true, true, 12}, {40, false, false, 0},
    };
    const CEOID oid = add(Task{.subject = L"진행", .start = wall(2026, 12, 10), .due = wall(2026, 12, 10), .progress = 40});
    open();
    for (const Case& t : cases) {
        SCOPED_TRACE(testing::Message() << "progress " << t.progress << (t.bar ? " bar" : " text") << (t.selected ? " selected" : ""));
        {
            CCeDBDatabase db;
            ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_TASKS));
            CEPROPVAL value = CCeDBProp(short(t.progress), ZUID_TASK_PROGRESS).AsPropVal();
            ASSERT_NE(db.WriteProps(oid, &value, 1), 0u);
        }
        reload();
        ASSERT_EQ(view->GetItemCount(), 1);
        doc->OnOptionChanged(52, t.bar ? 1 : 0);
        view->SetSelectedRow(t.selected ? 0 : -1);
        const QImage shot = image();
        const QColor fill = t.selected ? QColor(120, 161, 245) : QColor(237, 28, 36);
        int filled = 0, framed = 0, outside = 0, redText = 0;
        for (int x = 210; x < 240; ++x)
            filled += shot.pixelColor(x, 18) == fill;
        for (int x = 0; x < 240; ++x)
            for (int y = 0; y < kRow; ++y) {
                const QColor c = shot.pixelColor(x, y);
                const bool inBar = x >= 210 && y >= 13 && y < 23;
                framed += isOrange(c);
                if ((isOrange(c) || c == fill) && !inBar)
                    ++outside;
                redText += x >= 210 && c.red() > 180 && c.green() < 110 && c.blue() < 110;
            }
        EXPECT_EQ(outside, 0);
        if (t.bar) {
            EXPECT_EQ(filled, t.filled);
            EXPECT_GT(framed, 0);
            EXPECT_EQ(shot.pixelColor(210, 13), QColor(255, 153, 0));  // the frame's corners
            EXPECT_EQ(shot.pixelColor(239, 22), QColor(255, 153, 0));
        } else {
            EXPECT_EQ(framed, 0);
            EXPECT_GT(redText, 10);  // "40%" in red
        }
    }
}

TEST_F(ListView, ContextMenu)
{
    add(Appointment{.subject = L"약속", .start = wall(2026, 12, 10, 9)});
    add(Contact{.name = L"친구", .birthday = wall(1990, 12, 10)});
    add(Task{.subject = L"업무", .start = wall(2026, 12, 10), .due = wall(2026, 12, 10)});
    open();
    ASSERT_EQ(view->GetItemCount(), 3);
    struct Case {
        const char* held;
        QPoint at;
        bool clipboard;
        std::vector<bool> enabled;  // cut, copy, paste, delete
    };
    const Case cases[] = {
        {"appointment", rowPoint(0), false, {true, true, false, true}},
        {"contact's day", rowPoint(1), false, {false, false, false, false}},
        {"task", rowPoint(2), false, {false, false, false, true}},
        {"empty space", QPoint(100, 200), false, {false, false, false, false}},
        // The clipboard holds a record from here on.
        {"appointment", rowPoint(0), true, {true, true, false, true}},
        {"contact's day", rowPoint(1), true, {false, false, true, false}},
        {"task", rowPoint(2), true, {false, false, false, true}},
        {"empty space", QPoint(100, 200), true, {false, false, true, false}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(testing::Message() << t.held << (t.clipboard ? " with" : " without") << " clipboard");
        if (t.clipboard && !doc->HasClipboard()) {
            ASSERT_TRUE(doc->CopyItem(0));
        }
        const std::vector<ZuMenuEntry> menu = hold(t.at);
        ASSERT_EQ(menu.size(), 8u);
        std::vector<std::string> texts;
        for (const ZuMenuEntry& e : menu)
            texts.push_back(utf8(e.text));
        EXPECT_EQ(texts, (std::vector<std::string>{"새 일정", "새 기념일", "새 할일", "", "잘라내기", "복사하기", "붙이기", "이벤트 지우기"}));
        EXPECT_TRUE(menu[3].separator);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(menu[i].enabled);
        EXPECT_EQ((std::vector<bool>{menu[4].enabled, menu[5].enabled, menu[6].enabled, menu[7].enabled}), t.enabled);
        EXPECT_EQ(menu[4].id, ZU_CMD_CUT);
        EXPECT_EQ(menu[7].id, ZU_CMD_DELETE);
    }
    EXPECT_TRUE(frame.cards.empty());  // no hold opened a card
}

TEST_F(ListView, Commands)
{
    const CEOID first = add(Appointment{.subject = L"첫째", .start = wall(2026, 12, 10, 9, 30)});
    add(Appointment{.subject = L"둘째", .start = wall(2026, 12, 10, 14)});
    open();
    ASSERT_EQ(view->GetItemCount(), 2);

    // Cancel keeps the record; OK deletes it, and the row is gone once the list is reloaded.
    std::vector<std::string> questions;
    int answer = IDCANCEL;
    ZuSetMessageBoxHandler([&](const CString& text, const CString&, UINT type) {
        questions.push_back(utf8(text));
        EXPECT_EQ(type & 0xF, MB_OKCANCEL);
        return answer;
    });
    hold(rowPoint(1), ZU_CMD_DELETE);
    EXPECT_EQ(questions, (std::vector<std::string>{"이벤트를 지우시겠습니까?"}));
    EXPECT_EQ(storeCount(ZU_SEL_APPOINTMENTS), 2);
    answer = IDOK;
    hold(rowPoint(1), ZU_CMD_DELETE);
    EXPECT_EQ(storeCount(ZU_SEL_APPOINTMENTS), 1);
    reload();
    ASSERT_EQ(view->GetItemCount(), 1);
    EXPECT_EQ(indexOf("둘째"), -1);

    // The command acts on the record held, even when a reload put another record on its row
    // while the question was open.
    bool reloaded = false;
    ZuSetMessageBoxHandler([&](const CString&, const CString&, UINT) {
        add(Appointment{.subject = L"새벽", .start = wall(2026, 12, 10, 6)});
        reload();
        reloaded = doc->Items().size() == 2 && indexOf("새벽") == 0;
        return IDOK;
    });
    hold(rowPoint(0), ZU_CMD_DELETE);  // "첫째"
    EXPECT_TRUE(reloaded);
    reload();
    EXPECT_EQ(indexOf("새벽"), 0);
    EXPECT_EQ(indexOf("첫째"), -1);
    // A record deleted meanwhile is not acted on again.
    EXPECT_FALSE(doc->DeleteRecordOf(ZU_SEL_APPOINTMENTS, first));
    ZuSetMessageBoxHandler({});

    // Copy, then paste on another day: the record's own time stays.
    add(Appointment{.subject = L"복사", .start = wall(2026, 12, 10, 9, 30)});
    reload();
    hold(rowPoint(indexOf("복사")), ZU_CMD_COPY);
    ASSERT_TRUE(doc->HasClipboard());
    SYSTEMTIME other{};
    other.wYear = 2026;
    other.wMonth = 12;
    other.wDay = 15;
    doc->SetCurrentDate(other);
    reload();
    ASSERT_EQ(view->GetItemCount(), 0);
    hold(QPoint(100, 100), ZU_CMD_PASTE);
    reload();
    ASSERT_EQ(view->GetItemCount(), 1);
    EXPECT_EQ(dateOf(doc->Items()[0].start), "2026-12-15 09:30");

    // New records: the current date at noon; a task with no date.
    hold(QPoint(100, 100), ZU_CMD_NEW_APPOINTMENT);
    EXPECT_TRUE(view->OnViewCommand(ZU_CMD_NEW_APPOINTMENT_ALT));
    EXPECT_TRUE(view->OnViewCommand(ZU_CMD_NEW_ANNIVERSARY));
    EXPECT_TRUE(view->OnViewCommand(ZU_CMD_NEW_TASK));
    EXPECT_FALSE(view->OnViewCommand(ZU_CMD_TO_DAY_VIEW));
    EXPECT_EQ(frame.editors, (std::vector<std::string>{"1 2026-12-15 12:00", "1 2026-12-15 12:00", "1 2026-12-15 12:00 anniversary",
                                                      "4 0000-00-00 00:00"}));
}

TEST_F(ListView, LeftScroll)
{
    for (int i = 0; i < 40; ++i)
        add(Appointment{.subject = L"회의", .start = wall(2026, 12, 10, i % 24, i / 24 * 30)});
    open();
    ASSERT_EQ(view->GetItemCount(), 40);
    QScrollBar* own = view->verticalScrollBar();
    EXPECT_TRUE(frame.bar->isHidden());
    EXPECT_TRUE(own->isVisible());
    EXPECT_EQ(view->GetColumnWidth(0), view->viewport()->width() - 30);

    doc->OnOptionChanged(2, 1);
    ASSERT_FALSE(frame.bar->isHidden());
    EXPECT_EQ(frame.bar->geometry(), QRect(0, 47, 13, 273));
    EXPECT_FALSE(own->isVisible());
    EXPECT_EQ(view->viewport()->geometry().left(), 13);  // the rows start beside the bar
    EXPECT_EQ(view->GetColumnWidth(0), view->viewport()->width() - 30);
    EXPECT_EQ(frame.bar->maximum(), view->GetScrollMax());
    // Both ways.
    frame.bar->setValue(5);
    EXPECT_EQ(view->GetScrollPos(), 5);
    view->SetScrollPos(12);
    EXPECT_EQ(frame.bar->value(), 12);
    QTest::keyClick(frame.bar, Qt::Key_PageDown);
    EXPECT_EQ(view->GetScrollPos(), frame.bar->value());
    // The same layout is not applied again: a bar hidden by someone else stays hidden until
    // something changes.
    frame.bar->hide();
    reload();
    EXPECT_TRUE(frame.bar->isHidden());
    view->resize(240, 250);
    EXPECT_FALSE(frame.bar->isHidden());
    EXPECT_EQ(frame.bar->height(), 250);

    doc->OnOptionChanged(2, 0);
    EXPECT_TRUE(frame.bar->isHidden());
    EXPECT_TRUE(own->isVisible());
    EXPECT_EQ(view->viewport()->geometry().left(), 0);

    // While another view shows, loads that reach this list leave the frame's bar alone; the
    // list puts it back when it shows again.
    doc->OnOptionChanged(2, 1);
    ASSERT_FALSE(frame.bar->isHidden());
    view->hide();
    frame.bar->hide();
    add(Appointment{.subject = L"하나 더", .start = wall(2026, 12, 10, 23)});
    reload();
    EXPECT_EQ(view->GetItemCount(), 41);
    EXPECT_TRUE(frame.bar->isHidden());
    view->show();
    EXPECT_FALSE(frame.bar->isHidden());
    EXPECT_EQ(frame.bar->maximum(), view->GetScrollMax());

    // On, but everything fits: no bar.
    doc->SetCurrentDate(SYSTEMTIME{2026, 12, 0, 11, 0, 0, 0, 0});
    reload();
    EXPECT_EQ(view->GetItemCount(), 0);
    EXPECT_TRUE(frame.bar->isHidden());
}

TEST_F(ListView, StaleRowCount)
{
    for (int i = 0; i < 40; ++i)
        add(Appointment{.subject = L"오늘", .start = wall(2026, 12, 10, 8 + i / 4, i % 4 * 15)});
    add(Appointment{.subject = L"다음날", .start = wall(2026, 12, 11, 9)});
    open();
    ASSERT_EQ(view->GetItemCount(), 40);

    // A new count keeps the scroll position, and the selection stays on its record.
    view->SetScrollPos(10);
    view->SetSelectedRow(20);
    const CEOID selected = doc->Items()[20].oid;
    add(Appointment{.subject = L"새벽", .start = wall(2026, 12, 10, 6)});
    reload();
    ASSERT_EQ(view->GetItemCount(), 41);
    EXPECT_EQ(view->GetScrollPos(), 10);
    ASSERT_EQ(view->GetSelectedRow(), 21);
    EXPECT_EQ(doc->Items()[21].oid, selected);

    // A load for another view replaces the list under this one: the rows follow it, painting
    // reads nothing past its end, and the selection does not land on another record.
    LoadCounter other;
    frame.other.installEventFilter(&other);
    doc->SetCurrentDate(SYSTEMTIME{2026, 12, 0, 11, 0, 0, 0, 0});
    doc->RequestLoad(&frame.other);
    ASSERT_TRUE(WaitFor([&] { return other.loads > 0; }, 5000));
    ASSERT_EQ(doc->Items().size(), 1u);
    EXPECT_EQ(view->GetItemCount(), 1);
    EXPECT_EQ(view->GetSelectedRow(), -1);
    EXPECT_EQ(view->GetScrollPos(), 0);
    const QImage shot = image();
    EXPECT_EQ(shot.pixelColor(100, 5 * kRow + 10), QColor(255, 255, 255));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(5));
    EXPECT_TRUE(frame.cards.empty());
    EXPECT_TRUE(hold(rowPoint(5))[7].enabled == false);
}

// The card of a recurring appointment opens on the occurrence tapped, not on the series' first.
TEST_F(ListView, TapPassesTheOccurrenceStart)
{
    const CEOID series = add(Appointment{.subject = L"조회", .start = wall(2026, 12, 8, 8),
        .recurrence = blob(Pattern{.type = 0, .start = wall(2026, 12, 8), .startTime = 480, .occurrences = 5})});
    open();
    ASSERT_EQ(view->GetItemCount(), 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_EQ(frame.cards, (std::vector<std::pair<int, DWORD>>{{1, series}}));
    ASSERT_EQ(frame.cardStarts.size(), 1u);
    EXPECT_EQ(ZuFileTimeToU64(frame.cardStarts[0]), ZuFileTimeToU64(wall(2026, 12, 10, 8)));
}

TEST_F(ListView, HoldThenTap)
{
    const CEOID appointment = add(Appointment{.subject = L"약속", .start = wall(2026, 12, 10, 9)});
    add(Contact{.name = L"친구", .birthday = wall(1990, 12, 10)});
    const CEOID task = add(Task{.subject = L"업무", .start = wall(2026, 12, 10), .due = wall(2026, 12, 10)});
    open();
    ASSERT_EQ(view->GetItemCount(), 3);
    std::vector<std::pair<std::string, std::string>> boxes;
    ZuSetMessageBoxHandler([&](const CString& text, const CString& caption, UINT) {
        boxes.emplace_back(utf8(text), utf8(caption));
        return IDOK;
    });

    // A still press held long enough shows the menu; its release opens nothing.
    int menus = 0;
    ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>&, QPoint) {
        ++menus;
        return 0u;
    });
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, rowPoint(0));
    QTest::qWait(CZuHoldRecognizer::kHoldMs + 200);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_EQ(menus, 1);
    EXPECT_TRUE(frame.cards.empty());
    EXPECT_TRUE(boxes.empty());

    // Taps: the appointment's card, the task's card, the contact's day in a box; below the rows nothing.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(100, 200));
    EXPECT_EQ(frame.cards, (std::vector<std::pair<int, DWORD>>{{1, appointment}, {4, task}}));
    ASSERT_EQ(frame.cardStarts.size(), 2u);
    EXPECT_EQ(ZuFileTimeToU64(frame.cardStarts[0]), ZuFileTimeToU64(wall(2026, 12, 10, 9))) << "the tapped item's start";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, utf8(doc->Items()[1].subject));
    EXPECT_EQ(boxes[0].second, "기념일");
    EXPECT_EQ(menus, 1);
}

// For the start-up benchmark: with ZUPIMS_REPORT_FIRST_PAINT set, the first paint after the first
// load writes one line with a CLOCK_MONOTONIC time in ms to standard error, once.
TEST_F(ListView, FirstPaintReport)
{
    add(Appointment{.subject = L"약속", .start = wall(2026, 12, 10, 9)});
    QTemporaryDir dir;
    const QString log = dir.filePath("stderr");
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int file = ::open(log.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    ::dup2(file, 2);
    ::close(file);
    ::setenv("ZUPIMS_REPORT_FIRST_PAINT", "1", 1);
    timespec before{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    open();
    view->viewport()->repaint();
    view->viewport()->repaint();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::unsetenv("ZUPIMS_REPORT_FIRST_PAINT");

    std::vector<long long> reports;
    for (const std::string& line : ReadLines(log.toStdString()))
        if (line.rfind("first-paint ", 0) == 0)
            reports.push_back(std::atoll(line.c_str() + 12));
    ASSERT_EQ(reports.size(), 1u);
    const long long ms = static_cast<long long>(before.tv_sec) * 1000 + before.tv_nsec / 1000000;
    EXPECT_GE(reports[0], ms);
    EXPECT_LT(reports[0], ms + 10000);
}

// The program started by another one closes it in its first update: the command line's first
// argument is that program's window handle, in decimal.
TEST(Startup, LauncherAndPassword)
{
    WindowTestEnv env;
    RecordingWindow launcher;
    const HWND handle = ZuRegisterMainWindow(&launcher);
    ASSERT_NE(handle, 0u);
    for (const QString& garbage : {QString(), QString("abc"), QString("12abc"), QString("-1"), QString("0"),
                                   QString("99999999999"), QString::number(DeadHandle())})
        EXPECT_FALSE(CZuCalendarView::CloseLauncher(garbage)) << garbage.toStdString();
    EXPECT_TRUE(launcher.got.empty());
    EXPECT_TRUE(CZuCalendarView::CloseLauncher(QString::number(handle)));
    ASSERT_EQ(launcher.got.size(), 1u);
    EXPECT_EQ(launcher.got[0].message, WM_CLOSE);
    ZuUnregisterMainWindow(&launcher);
}
