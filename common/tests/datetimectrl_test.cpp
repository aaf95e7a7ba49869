// The date control: the caption drawn in owner-draw-text mode, and that only a user's pick is
// reported as a change.
#include "controltestsupport.h"
#include "widgets/zudatetimectrl.h"

#include <QCalendarWidget>
#include <QImage>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Picks the day after the selected one as a user does: arrow right, then Enter.
void pickNextDay(CZUDateTimeCtrl& ctrl)
{
    QCalendarWidget* cal = ctrl.calendarPopup();
    ASSERT_NE(cal, nullptr);
    ASSERT_TRUE(cal->isVisible());
    auto* view = cal->findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Return);
}

} // namespace

TEST(DateTimeCtrl, OwnerDrawCaption)
{
    RecordingParent parent;
    parent.resize(240, 23);
    CZUDateTimeCtrl ctrl(&parent, 107);
    ctrl.setGeometry(20, 0, 200, 23);
    std::vector<QDate> changes;
    QObject::connect(&ctrl, &CZUDateTimeCtrl::dateChanged, [&](QDate d) { changes.push_back(d); });

    const COLORREF bk = RGB(233, 240, 250);
    ctrl.SetOwnerDrawText(TRUE);
    ctrl.SetBkColor(bk);
    ctrl.SetTextColor(RGB(0, 0, 0));
    ctrl.SetFontBold(TRUE);
    ctrl.SetDate(QDate(2004, 3, 5));
    ctrl.SetText(L"2004년 3월 5일");
    EXPECT_TRUE(changes.empty()) << "a date or text set by code is no change";
    EXPECT_TRUE(parent.got.empty());

    const QImage shot = ctrl.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), qcolor(bk));
    EXPECT_EQ(shot.pixelColor(198, 21), qcolor(bk));
    int minX = 200, maxX = 0, minY = 23, maxY = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y).lightness() < 100) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_LT(minX, maxX) << "the caption is drawn";
    EXPECT_NEAR((minX + maxX) / 2.0, 100.0, 4.0) << "centred across";
    EXPECT_NEAR((minY + maxY) / 2.0, 11.5, 3.0) << "centred up and down";
    EXPECT_LT(maxY - minY, 16) << "one line";

    // A tap still opens the calendar in owner-draw-text mode; a pick is one change.
    parent.show();
    QTest::mouseClick(&ctrl, Qt::LeftButton, {}, QPoint(100, 10));
    pickNextDay(ctrl);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], QDate(2004, 3, 6));
    EXPECT_EQ(ctrl.GetDate(), QDate(2004, 3, 6));
    EXPECT_FALSE(ctrl.calendarPopup()->isVisible());
    ASSERT_EQ(parent.got.size(), 1u);
    EXPECT_EQ(parent.got[0].message, WM_COMMAND);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(parent.got[0].wParam)), 107);
    EXPECT_EQ(parent.got[0].lParam, reinterpret_cast<LPARAM>(&ctrl));

    // Picking the date it already shows changes nothing.
    ctrl.ShowCalendar();
    QTest::keyClick(ctrl.calendarPopup()->findChild<QTableView*>(), Qt::Key_Return);
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(parent.got.size(), 1u);
}

TEST(DateTimeCtrl, FontAndLocaleTexts)
{
    CZUDateTimeCtrl ctrl;
    EXPECT_EQ(ctrl.GetFontName(), CString(L"Tahoma"));
    EXPECT_EQ(ctrl.GetFontSize(), 13);
    EXPECT_EQ(ctrl.font().weight(), 400);
    EXPECT_EQ(ctrl.font().pixelSize(), 13);
    ctrl.SetFontBold(TRUE);
    ctrl.SetFontItalic(TRUE);
    EXPECT_EQ(ctrl.font().weight(), 700);
    EXPECT_TRUE(ctrl.font().italic());
    ctrl.SetFontBold(FALSE);
    EXPECT_EQ(ctrl.font().weight(), 400);

    ctrl.RefreshDateFormat();
    EXPECT_EQ(ctrl.GetDateFormatInfo().timeType, CString(L"24-hour format")) << "the C locale";
    EXPECT_EQ(CZUDateTimeCtrl::CalendarTypeName(1), CString(L"Gregorian - Localized"));
    EXPECT_EQ(CZUDateTimeCtrl::CalendarTypeName(5), CString(L"Tangun Era - Korea"));
    EXPECT_EQ(CZUDateTimeCtrl::CalendarTypeName(12), CString(L"Gregorian Transliterated French"));
    EXPECT_EQ(CZUDateTimeCtrl::CalendarTypeName(0), CString(L"Unknown"));
    EXPECT_EQ(CZUDateTimeCtrl::CalendarTypeName(13), CString(L"Unknown"));
}
