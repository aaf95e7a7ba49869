// The recurrence wizard driven as a person would: the defaults it starts from, the steps and
// their buttons, what each detail page writes into the pattern and says about it, the weekday
// rule, the order of the two range dates and the answers to an interval or count that is no
// number.
#include "widgets/recurdailypage.h"
#include "widgets/recurdialog.h"
#include "widgets/recurkindpage.h"
#include "widgets/recurmonthlypage.h"
#include "widgets/recurrangepage.h"
#include "widgets/recurweeklypage.h"
#include "widgets/recuryearlypage.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "oledatetime.h"
#include "recurrencepattern.h"
#include "testhome.h"
#include "testtime.h"
#include "textutil.h"
#include "widgets/cboxselect.h"
#include "widgets/cebuttonst.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Keeps the texts of the boxes shown during a test and answers them with OK.
class BoxRecorder {
public:
    BoxRecorder()
        : m_old(ZuSetMessageBoxHandler([this](const CString& text, const CString&, UINT) {
              texts.push_back(text.toQString());
              return IDOK;
          }))
    {
    }
    ~BoxRecorder() { ZuSetMessageBoxHandler(std::move(m_old)); }
    std::vector<QString> texts;

private:
    ZuMessageBoxHandler m_old;
};

const QString kBadInterval = QStringLiteral("반복 간격을 1 이상의 숫자로 입력하십시오.");
const QString kBadCount = QStringLiteral("반복 횟수를 1 이상의 숫자로 입력하십시오.");
const QString kOneDay = QStringLiteral("적어도 하나의 요일은 선택되어야 합니다!");

template <typename T>
T* child(QWidget* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}

long value(const CRecurrencePattern& p, int (CRecurrencePattern::*get)(long*) const)
{
    long v = -99;
    (p.*get)(&v);
    return v;
}

QDate startOf(const CRecurrencePattern& p)
{
    FILETIME ft{};
    p.get_PatternStartDate(&ft);
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return QDate(st.wYear, st.wMonth, st.wDay);
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }

void clickRadio(QRadioButton* radio) { QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2)); }

// Chooses an entry of a drop-down list with the arrow keys, as a user does.
void choose(CZUComboBox* list, int index)
{
    ASSERT_NE(list, nullptr);
    list->setFocus();
    while (list->currentIndex() < index)
        QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() > index)
        QTest::keyClick(list, Qt::Key_Up);
    ASSERT_EQ(list->currentIndex(), index);
}

// Types into an editable list in place of its text.
void type(CZUComboBox* list, const QString& text)
{
    ASSERT_NE(list, nullptr);
    QLineEdit* edit = list->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Picks a date in a picker's calendar: select it, then Enter.
void pick(CZUDateTimeCtrl* picker, QDate date)
{
    ASSERT_NE(picker, nullptr);
    picker->ShowCalendar();
    QCalendarWidget* cal = picker->calendarPopup();
    ASSERT_NE(cal, nullptr);
    cal->setSelectedDate(date);
    QTest::keyClick(cal->findChild<QTableView*>(), Qt::Key_Return);
}

CString description(QWidget* page) { return CString::fromQString(child<QLabel>(page, 1051)->text()); }

struct Wizard {
    ZuTestHome home;
    COleDateTime start{2026, 6, 17, 9, 30, 0};  // a Wednesday
    COleDateTime end{2026, 6, 17, 10, 0, 0};
    CRecurDialog dialog;

    explicit Wizard(int recurrenceKind = 1, const CRecurrencePattern* pattern = nullptr)
        : dialog(pattern, start, end, 1, recurrenceKind)
    {
        dialog.show();
    }
    CCeButtonST* button(int id) { return child<CCeButtonST>(&dialog, id); }
    CRecurDetailPage* detail() { return dialog.KindPage()->CurrentDetail(); }
    void selectKind(int kind) { choose(child<CZUComboBox>(dialog.KindPage(), 1023), kind); }
};

} // namespace

// The defaults come from the appointment's start: its weekday, day, week of the month and times.
TEST(RecurDialog, DefaultsFromTheStart)
{
    Wizard w;
    const CRecurrencePattern& p = *w.dialog.Pattern();
    EXPECT_EQ(value(p, &CRecurrencePattern::get_RecurrenceType), 1);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_Interval), 1);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_DayOfWeekMask), 0x08);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_Instance), 3);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_DayOfMonth), 17);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_MonthOfYear), 6);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_StartTime), 570);
    EXPECT_EQ(value(p, &CRecurrencePattern::get_EndTime), 600);
    EXPECT_EQ(startOf(p), QDate(2026, 6, 17));
    // The weekly page shows it: Wednesday alone, "매주 수요일 에 반복".
    auto* days = child<CBoxSelect>(w.detail(), 1003);
    ASSERT_NE(days, nullptr);
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(days->GetCheck(d), d == 3 ? TRUE : FALSE) << d;
    EXPECT_EQ(description(w.detail()).toQString(), QStringLiteral("매주 수요일 에 반복"));

    // A task without start and due dates starts today, at midnight, without times.
    ZuSetFixedClock(zutest::wall(2026, 12, 9, 20, 0));  // 2026-12-10 05:00 in Seoul
    COleDateTime none;
    none.SetStatus(COleDateTime::invalid);
    CRecurDialog task(nullptr, none, none, 4, 1);
    const CRecurrencePattern& t = *task.Pattern();
    EXPECT_EQ(startOf(t), QDate(2026, 12, 10));
    EXPECT_EQ(value(t, &CRecurrencePattern::get_DayOfWeekMask), 0x10);  // Thursday
    EXPECT_EQ(value(t, &CRecurrencePattern::get_Instance), 2);
    long minutes = 0;
    EXPECT_TRUE(t.get_StartTime(&minutes));
    EXPECT_EQ(minutes, -1);
    ZuSetClock({});
}

// Back, Next, Finish and Cancel: which show, which work, and what the caller gets.
TEST(RecurDialog, StepFlow)
{
    CRecurrencePattern mine(1);
    ASSERT_TRUE(mine.put_RecurrenceType(0));
    ASSERT_TRUE(mine.put_PatternStartDate(zutest::wall(2026, 6, 1)));
    ASSERT_TRUE(mine.put_Interval(3));
    {
        Wizard w(0, &mine);
        CCeButtonST* back = w.button(1005);
        CCeButtonST* next = w.button(1030);
        CCeButtonST* finish = w.button(1031);
        ASSERT_TRUE(back && next && finish && w.button(2));
        EXPECT_FALSE(back->isEnabled());
        EXPECT_TRUE(next->isVisible());
        EXPECT_FALSE(finish->isVisible());
        EXPECT_EQ(next->geometry(), QRect(back->x() + 58, back->y(), 53, 19));
        EXPECT_EQ(w.dialog.KindPage()->geometry(), QRect(0, 0, 240, 220));
        // The dimmed Back is grey, the live one blue.
        const QImage dimmed = w.dialog.grab().toImage();
        const QPoint face(back->x() + 26, back->y() + 4);
        EXPECT_LT(qAbs(dimmed.pixelColor(face).red() - dimmed.pixelColor(face).blue()), 20);

        click(next);
        EXPECT_EQ(w.dialog.Step(), 1);
        EXPECT_TRUE(back->isEnabled());
        EXPECT_FALSE(next->isVisible());
        EXPECT_TRUE(finish->isVisible());
        EXPECT_TRUE(w.dialog.RangePage()->isVisible());
        EXPECT_FALSE(w.dialog.KindPage()->isVisible());
        const QImage live = w.dialog.grab().toImage();
        EXPECT_GT(live.pixelColor(face).blue() - live.pixelColor(face).red(), 60);

        click(back);
        EXPECT_EQ(w.dialog.Step(), 0);
        EXPECT_FALSE(back->isEnabled());
        EXPECT_TRUE(w.dialog.KindPage()->isVisible());

        // Weekly this time; the caller's pattern is not touched while the wizard runs.
        w.selectKind(1);
        click(next);
        click(finish);
        EXPECT_EQ(w.dialog.result(), 1031);
        std::unique_ptr<CRecurrencePattern> got = w.dialog.GetRecurrencePattern();
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(value(*got, &CRecurrencePattern::get_RecurrenceType), 1);
        EXPECT_EQ(w.dialog.GetRecurrencePattern(), nullptr);
    }
    EXPECT_EQ(value(mine, &CRecurrencePattern::get_RecurrenceType), 0);
    EXPECT_EQ(value(mine, &CRecurrencePattern::get_Interval), 3);

    // Cancel and Escape end with 2 and hand nothing over.
    for (const bool escape : {false, true}) {
        Wizard w(0, &mine);
        w.selectKind(2);
        click(w.button(1030));
        if (escape)
            QTest::keyClick(&w.dialog, Qt::Key_Escape);
        else
            click(w.button(2));
        EXPECT_EQ(w.dialog.result(), 2) << escape;
        EXPECT_FALSE(w.dialog.isVisible());
        EXPECT_EQ(w.dialog.GetRecurrencePattern(), nullptr);
        EXPECT_EQ(value(mine, &CRecurrencePattern::get_RecurrenceType), 0);
    }
}

// Each detail page writes its kind into the pattern and describes it from its own controls; a
// pattern of that kind comes back into the same controls.
TEST(RecurDialog, DetailsWriteThePattern)
{
    struct Case {
        const char* name;
        int kind;
        std::function<void(CRecurDetailPage*)> act;
        long type, interval, mask, day, instance, month;  // -99: not looked at
        const char* sentence;
    };
    const Case cases[] = {
        {"every weekday", 0, [](CRecurDetailPage* p) { clickRadio(child<QRadioButton>(p, 1067)); },
         0, 0, 62, -99, -99, -99, "주중(월~금) 반복"},
        {"every day", 0, [](CRecurDetailPage*) {}, 0, 1, -99, -99, -99, -99, "매일 반복"},
        {"every 7 days, typed", 0, [](CRecurDetailPage* p) { type(child<CZUComboBox>(p, 1052), "7"); },
         0, 7, -99, -99, -99, -99, "7 일 마다 반복"},
        {"every 2 weeks on Monday and Wednesday", 1,
         [](CRecurDetailPage* p) {
             choose(child<CZUComboBox>(p, 1052), 1);
             auto* days = child<CBoxSelect>(p, 1003);
             QTest::mouseClick(days, Qt::LeftButton, {}, days->GetBoxRect(1).center());
         },
         1, 2, 0x0A, -99, -99, -99, "2 주 마다 월요일 그리고 수요일에 반복"},
        {"monthly on the 5th every 2 months", 2,
         [](CRecurDetailPage* p) {
             choose(child<CZUComboBox>(p, 1052), 1);
             choose(child<CZUComboBox>(p, 1062), 4);
         },
         2, 2, -99, 5, -99, -99, "2 개월 마다  5일에 반복"},
        {"monthly on the second Tuesday", 2,
         [](CRecurDetailPage* p) {
             choose(child<CZUComboBox>(p, 1056), 1);
             choose(child<CZUComboBox>(p, 1057), 2);
         },
         3, 1, 0x04, -99, 2, -99, "1 개월 마다  두번째 화요일에 반복"},
        {"yearly on 15 March", 3,
         [](CRecurDetailPage* p) {
             choose(child<CZUComboBox>(p, 1064), 2);
             choose(child<CZUComboBox>(p, 1062), 14);
         },
         5, 1, -99, 15, -99, 3, "1 년 마다 3월 15 일에 반복"},
        {"every 2 years on the last Thursday of November", 3,
         [](CRecurDetailPage* p) {
             type(child<CZUComboBox>(p, 1052), "2");
             choose(child<CZUComboBox>(p, 1060), 10);
             choose(child<CZUComboBox>(p, 1056), 4);
             choose(child<CZUComboBox>(p, 1057), 4);
         },
         6, 2, 0x10, -99, 5, 11, "2 년 마다 11월 의 마지막 목요일 에 반복"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CRecurrencePattern> written;
        {
            Wizard w(c.kind);
            c.act(w.detail());
            EXPECT_EQ(description(w.detail()).toQString(), QString::fromUtf8(c.sentence)) << c.name;
            click(w.button(1030));
            ASSERT_EQ(w.dialog.Step(), 1) << c.name;
            // The range page shows the pattern's own sentence.
            CString sentence;
            ASSERT_TRUE(const_cast<CRecurrencePattern*>(w.dialog.Pattern())->RecurPatternToStr(sentence)) << c.name;
            EXPECT_EQ(description(w.dialog.RangePage()), sentence) << c.name;
            click(w.button(1031));
            written = w.dialog.GetRecurrencePattern();
        }
        ASSERT_NE(written, nullptr) << c.name;
        const CRecurrencePattern& p = *written;
        EXPECT_EQ(value(p, &CRecurrencePattern::get_RecurrenceType), c.type) << c.name;
        EXPECT_EQ(value(p, &CRecurrencePattern::get_Interval), c.interval) << c.name;
        const std::pair<long, int (CRecurrencePattern::*)(long*) const> fields[] = {
            {c.mask, &CRecurrencePattern::get_DayOfWeekMask},
            {c.day, &CRecurrencePattern::get_DayOfMonth},
            {c.instance, &CRecurrencePattern::get_Instance},
            {c.month, &CRecurrencePattern::get_MonthOfYear},
        };
        for (const auto& [expected, get] : fields) {
            if (expected != -99) {
                EXPECT_EQ(value(p, get), expected) << c.name;
            }
        }

        // The other way: a wizard opened on this pattern shows the same sentence.
        Wizard again(c.kind, written.get());
        EXPECT_EQ(description(again.detail()).toQString(), QString::fromUtf8(c.sentence)) << c.name << " reopened";
    }
}

// The 31st is in the last week of its month: the monthly page offers "마지막" by default.
TEST(RecurDialog, MonthlyDay31DefaultsToLast)
{
    ZuTestHome home;
    const COleDateTime start(2026, 7, 31, 8, 0, 0);  // a Friday
    CRecurDialog dialog(nullptr, start, start, 1, 2);
    CRecurDetailPage* page = dialog.KindPage()->CurrentDetail();
    ASSERT_NE(dynamic_cast<CRecurMonthlyPage*>(page), nullptr);
    EXPECT_EQ(child<CZUComboBox>(page, 1056)->currentIndex(), 4);
    EXPECT_EQ(child<CZUComboBox>(page, 1056)->currentText(), QStringLiteral("마지막"));
    EXPECT_EQ(child<CZUComboBox>(page, 1057)->currentIndex(), 5);
    EXPECT_EQ(child<CZUComboBox>(page, 1062)->currentIndex(), 30);
    EXPECT_TRUE(child<QRadioButton>(page, 1058)->isChecked());
}

// Clearing the only selected day is refused with a warning; the day stays selected.
TEST(RecurDialog, LastWeekdayCannotBeCleared)
{
    BoxRecorder boxes;
    Wizard w(1);
    auto* days = child<CBoxSelect>(w.detail(), 1003);
    const QPoint wednesday = days->GetBoxRect(3).center();
    QTest::mouseClick(days, Qt::LeftButton, {}, wednesday);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], kOneDay);
    EXPECT_TRUE(days->GetCheck(3));
    // Drawn as selected: the highlight colour under the pen.
    const QColor shown = days->grab().toImage().pixelColor(wednesday + QPoint(0, 6));
    EXPECT_EQ(shown, QColor(0, 0, 128));

    // With Friday added, Wednesday may go.
    QTest::mouseClick(days, Qt::LeftButton, {}, days->GetBoxRect(5).center());
    QTest::mouseClick(days, Qt::LeftButton, {}, wednesday);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_FALSE(days->GetCheck(3));
    EXPECT_EQ(description(w.detail()).toQString(), QStringLiteral("매주 금요일 에 반복"));
}

// The range page keeps its two dates in order and follows what was chosen last.
TEST(RecurDialog, RangeCascades)
{
    Wizard w(1);
    click(w.button(1030));
    CRecurRangePage* range = w.dialog.RangePage();
    auto* start = child<CZUDateTimeCtrl>(range, 1019);
    auto* end = child<CZUDateTimeCtrl>(range, 1021);
    // No end: the end picker shows the 10th week, the count 10.
    EXPECT_EQ(range->EndType(), 0u);
    EXPECT_TRUE(child<QRadioButton>(range, 1070)->isChecked());
    EXPECT_EQ(end->GetDate(), QDate(2026, 8, 19));
    EXPECT_EQ(end->GetText().toQString(), QStringLiteral("2026-08-19"));
    EXPECT_EQ(child<CZUComboBox>(range, 1025)->currentText(), QStringLiteral("10"));

    // An end date before the start moves the start onto it.
    pick(end, QDate(2026, 6, 10));
    EXPECT_EQ(range->EndType(), 1u);
    EXPECT_TRUE(child<QRadioButton>(range, 1071)->isChecked());
    EXPECT_EQ(start->GetDate(), QDate(2026, 6, 10));
    EXPECT_EQ(startOf(*w.dialog.Pattern()), QDate(2026, 6, 10));
    EXPECT_EQ(w.dialog.Pattern()->GetEndDateType(), 1u);

    // A start after the end moves the end onto it.
    pick(start, QDate(2026, 7, 1));
    EXPECT_EQ(end->GetDate(), QDate(2026, 7, 1));
    FILETIME ft{};
    ASSERT_TRUE(w.dialog.Pattern()->get_PatternEndDate(&ft));
    const FILETIME july = zutest::wall(2026, 7, 1);
    EXPECT_EQ(CompareFileTime(&ft, &july), 0);

    // Choosing a count ends after it.
    choose(child<CZUComboBox>(range, 1025), 2);
    EXPECT_EQ(range->EndType(), 2u);
    EXPECT_TRUE(child<QRadioButton>(range, 1072)->isChecked());
    EXPECT_EQ(value(*w.dialog.Pattern(), &CRecurrencePattern::get_Occurrences), 3);

    // And "무한반복" takes the end away again.
    clickRadio(child<QRadioButton>(range, 1070));
    EXPECT_EQ(w.dialog.Pattern()->GetEndDateType(), 0u);
    short noEnd = 0;
    ASSERT_TRUE(w.dialog.Pattern()->get_NoEndDate(&noEnd));
    EXPECT_EQ(noEnd, 1);
    click(w.button(1031));
    EXPECT_EQ(w.dialog.result(), 1031);
}

// An interval or a count that is no number from 1 would become 0: Next and Finish refuse it.
TEST(RecurDialog, BadIntervalOrCountIsRefused)
{
    struct Case {
        int kind;
        const char* typed;
    };
    for (const Case c : {Case{0, "0"}, Case{1, "abc"}, Case{2, ""}, Case{3, "1000"}, Case{1, "-2"}}) {
        BoxRecorder boxes;
        Wizard w(c.kind);
        type(child<CZUComboBox>(w.detail(), 1052), QString::fromUtf8(c.typed));
        click(w.button(1030));
        EXPECT_EQ(w.dialog.Step(), 0) << c.typed;
        ASSERT_EQ(boxes.texts.size(), 1u) << c.typed;
        EXPECT_EQ(boxes.texts[0], kBadInterval);
        EXPECT_EQ(value(*w.dialog.Pattern(), &CRecurrencePattern::get_RecurrenceType), 1) << c.typed;
    }

    // Every weekday needs no interval.
    {
        BoxRecorder boxes;
        Wizard w(0);
        type(child<CZUComboBox>(w.detail(), 1052), QStringLiteral("x"));
        clickRadio(child<QRadioButton>(w.detail(), 1067));
        click(w.button(1030));
        EXPECT_EQ(w.dialog.Step(), 1);
        EXPECT_TRUE(boxes.texts.empty());
    }

    for (const char* typed : {"0", "abc", ""}) {
        BoxRecorder boxes;
        Wizard w(1);
        click(w.button(1030));
        type(child<CZUComboBox>(w.dialog.RangePage(), 1025), QString::fromUtf8(typed));
        EXPECT_EQ(w.dialog.RangePage()->EndType(), 2u);
        click(w.button(1031));
        EXPECT_TRUE(w.dialog.isVisible()) << typed;
        ASSERT_EQ(boxes.texts.size(), 1u) << typed;
        EXPECT_EQ(boxes.texts[0], kBadCount);
        EXPECT_EQ(w.dialog.GetRecurrencePattern(), nullptr);
        // A count typed right goes through.
        type(child<CZUComboBox>(w.dialog.RangePage(), 1025), QStringLiteral("15"));
        click(w.button(1031));
        EXPECT_EQ(w.dialog.result(), 1031);
        std::unique_ptr<CRecurrencePattern> got = w.dialog.GetRecurrencePattern();
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(value(*got, &CRecurrencePattern::get_Occurrences), 15);
        CEBLOB blob{};
        EXPECT_TRUE(got->GetRecurPattern(&blob));
        LocalFree(blob.lpb);
    }
}

// Switching kinds writes nothing, and a page comes back as it was left.
TEST(RecurDialog, SwitchingKindsKeepsThePages)
{
    Wizard w(1);
    type(child<CZUComboBox>(w.detail(), 1052), QStringLiteral("3"));
    CRecurDetailPage* weekly = w.detail();
    w.selectKind(2);
    EXPECT_FALSE(weekly->isVisible());
    EXPECT_EQ(value(*w.dialog.Pattern(), &CRecurrencePattern::get_RecurrenceType), 1);
    EXPECT_EQ(value(*w.dialog.Pattern(), &CRecurrencePattern::get_Interval), 1);
    w.selectKind(1);
    EXPECT_EQ(w.detail(), weekly);
    EXPECT_EQ(child<CZUComboBox>(weekly, 1052)->currentText(), QStringLiteral("3"));
}

// A page without a pattern does nothing and says so.
TEST(RecurDialog, PagesWithoutAPatternFail)
{
    CRecurDailyPage daily;
    CRecurWeeklyPage weekly;
    CRecurMonthlyPage monthly;
    CRecurYearlyPage yearly;
    for (CRecurDetailPage* page : std::initializer_list<CRecurDetailPage*>{&daily, &weekly, &monthly, &yearly}) {
        EXPECT_EQ(page->FillFromPattern(nullptr), 0) << page->objectName().toStdString();
        EXPECT_EQ(page->WriteIntoPattern(nullptr), 0) << page->objectName().toStdString();
    }
    CRecurRangePage range(nullptr);
    EXPECT_EQ(range.FillFromPattern(), 0);
    EXPECT_EQ(range.WriteIntoPattern(), 0);
    CRecurKindPage kinds(nullptr);
    kinds.SelectKind(1);
    EXPECT_EQ(kinds.WriteIntoPattern(), 0);
}
