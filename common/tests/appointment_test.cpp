// The appointment box: its busy colours, the one selection of the process and its pairs, the
// click report, and boxes that go away while selected or paired.
#include "widgets/appointment.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

QColor at(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

// Keeps the click reports that reach it.
class NotifySink : public QWidget {
public:
    std::vector<NMAPPOINTMENT> reports;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType()) {
            auto* m = static_cast<ZuMessageEvent*>(e);
            if (m->message() == WM_NOTIFY) {
                reports.push_back(*reinterpret_cast<const NMAPPOINTMENT*>(m->lParam()));
                m->setResult(0);
                return true;
            }
        }
        return QWidget::event(e);
    }
};

CAppointment* makeBox(QWidget* parent, QRect r, DWORD code = 0, int status = 2)
{
    auto* box = new CAppointment(code, status, nullptr, parent);
    box->setGeometry(r);
    box->show();
    return box;
}

}  // namespace

// The constructor took the raw busy status as a table index; the loader passes 0x000F unchecked.
TEST(AppointmentBox, PaintsBusyStatus)
{
    struct Case {
        int status;
        int expected;  // the status whose colours show
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{7, 2}, Case{-1, 2}}) {
        SCOPED_TRACE(c.status);
        CAppointment box(0, c.status);
        box.resize(40, 30);
        EXPECT_EQ(at(box, 20, 15), qcolor(CAppointment::m_clrBusyStatus[c.expected]));
        EXPECT_EQ(at(box, 1, 15), qcolor(CAppointment::m_clrBusyStatusLine[c.expected]));
        EXPECT_EQ(box.GetBkColor(), CAppointment::m_clrBusyStatus[c.expected]);
    }
    CAppointment box(0, 1);
    box.resize(40, 30);
    box.SetStatusCode(4);
    EXPECT_EQ(at(box, 20, 15), qcolor(CAppointment::m_clrBusyStatus[1]));
    box.SetStatusCode(3);
    EXPECT_EQ(at(box, 20, 15), qcolor(CAppointment::m_clrBusyStatus[3]));
    EXPECT_EQ(at(box, 1, 15), qcolor(CAppointment::m_clrBusyStatusLine[3]));
}

TEST(AppointmentBox, SelectionExclusiveAndPaired)
{
    QWidget parent;
    parent.resize(200, 100);
    CAppointment* a = makeBox(&parent, QRect(0, 0, 40, 30));
    CAppointment* b = makeBox(&parent, QRect(50, 0, 40, 30));
    CAppointment* c = makeBox(&parent, QRect(100, 0, 40, 30));
    b->SetClone(c);
    c->SetClone(b);
    parent.show();

    struct Step {
        CAppointment* press;
        int a, b, c;
    };
    for (const Step s : {Step{a, 1, 0, 0}, Step{b, 0, 1, 1}, Step{a, 1, 0, 0}}) {
        QTest::mouseClick(s.press, Qt::LeftButton, {}, QPoint(20, 15));
        EXPECT_EQ(a->GetState(), s.a);
        EXPECT_EQ(b->GetState(), s.b);
        EXPECT_EQ(c->GetState(), s.c);
        EXPECT_EQ(CAppointment::m_hwndSelected.data(), s.press);
    }
    // A selected box: the red frame outside, the white one inside; a released box its outline.
    EXPECT_EQ(at(*a, 1, 15), QColor(255, 0, 0));
    EXPECT_EQ(at(*a, 2, 15), QColor(255, 255, 255));
    EXPECT_EQ(at(*b, 1, 15), qcolor(CAppointment::m_clrBusyStatusLine[2]));
    EXPECT_EQ(at(*b, 2, 15), qcolor(CAppointment::m_clrBusyStatus[2]));
    // Set-state echoes to the clone once; its second parameter 1 stops the echo.
    b->SetState(1);
    EXPECT_EQ(c->GetState(), 1);
    c->SetState(0, 1);
    EXPECT_EQ(b->GetState(), 1);
}

TEST(AppointmentBox, ClickReport)
{
    NotifySink parent, notify;
    parent.resize(100, 100);
    CAppointment* box = makeBox(&parent, QRect(0, 0, 40, 30), 77);
    box->setObjectName("5003");
    parent.show();
    DWORD clicked = 0;
    QObject::connect(box, &CAppointment::clicked, [&](DWORD code) { clicked = code; });

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(parent.reports.size(), 1u);
    EXPECT_EQ(parent.reports[0].hwndFrom, box);
    EXPECT_EQ(parent.reports[0].idFrom, 5003u);
    EXPECT_EQ(parent.reports[0].code, -2);
    EXPECT_EQ(parent.reports[0].dwEventCode, 77u);
    EXPECT_EQ(clicked, 77u);

    box->SetNotifyWindow(&notify);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(parent.reports.size(), 1u);
    ASSERT_EQ(notify.reports.size(), 1u);
    EXPECT_EQ(notify.reports[0].dwEventCode, 77u);

    // A right-button press is a hold: it selects, reports the hold and no click.
    int holds = 0;
    QObject::connect(box, &CAppointment::held, [&](QPoint) { ++holds; });
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(holds, 1);
    EXPECT_EQ(notify.reports.size(), 1u);
    EXPECT_EQ(box->GetState(), 1);

    DWORD queried = 0;
    ZuMessageEvent query(ZU_WM_QUERY_EVENT_CODE, 0, reinterpret_cast<LPARAM>(&queried));
    QCoreApplication::sendEvent(box, &query);
    EXPECT_EQ(queried, 77u);
}

// The selection and the clone links were raw handles that dangled once a view destroyed a box.
TEST(AppointmentBox, DestroyedLeavesNoTrace)
{
    QWidget parent;
    parent.resize(200, 100);
    parent.show();
    {
        CAppointment* a = makeBox(&parent, QRect(0, 0, 40, 30));
        CAppointment* b = makeBox(&parent, QRect(50, 0, 40, 30));
        QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
        delete a;
        EXPECT_EQ(CAppointment::m_hwndSelected.data(), nullptr);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(CAppointment::m_hwndSelected.data(), b);
        delete b;
    }
    {
        CAppointment* a = makeBox(&parent, QRect(0, 0, 40, 30));
        CAppointment* b = makeBox(&parent, QRect(50, 0, 40, 30));
        CAppointment* other = makeBox(&parent, QRect(100, 0, 40, 30));
        a->SetClone(b);
        b->SetClone(a);
        QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
        delete b;
        EXPECT_EQ(a->GetClone(), nullptr);
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(a->GetState(), 1);
        EXPECT_EQ(other->GetState(), 0);
    }
}
