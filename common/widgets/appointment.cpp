#include "appointment.h"

#include "holdrecognizer.h"
#include "syscolors.h"
#include "textutil.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr int kDefaultStatus = 2;

bool validStatus(int status) { return status >= 0 && status < 4; }

// A 1-pixel rounded rectangle with 5 x 5 corners over the pixels of r (inclusive).
void roundRect(QPainter& p, const QRect& r, COLORREF color)
{
    if (r.width() < 1 || r.height() < 1)
        return;
    p.setPen(QPen(qcolor(color), 1));
    p.setBrush(Qt::NoBrush);
    // The corner ellipse of 5 x 5 cuts one pixel off each corner at this size.
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    if (r.width() < 5 || r.height() < 5) {
        p.drawRect(QRect(l, t, r.width() - 1, r.height() - 1));
        return;
    }
    p.drawLine(l + 2, t, rt - 2, t);
    p.drawLine(l + 2, b, rt - 2, b);
    p.drawLine(l, t + 2, l, b - 2);
    p.drawLine(rt, t + 2, rt, b - 2);
    p.drawPoint(l + 1, t + 1);
    p.drawPoint(rt - 1, t + 1);
    p.drawPoint(l + 1, b - 1);
    p.drawPoint(rt - 1, b - 1);
}

} // namespace

const COLORREF CAppointment::m_clrBusyStatus[4] = {RGB(148, 157, 247), RGB(247, 150, 239), RGB(247, 198, 127),
                                                   RGB(204, 204, 255)};
const COLORREF CAppointment::m_clrBusyStatusLine[4] = {RGB(94, 108, 246), RGB(248, 98, 236), RGB(255, 153, 0),
                                                       RGB(171, 171, 171)};
QPointer<CAppointment> CAppointment::m_hwndSelected;

CAppointment::CAppointment(DWORD eventCode, int busyStatus, CWnd* notifyWindow, QWidget* parent)
    : QWidget(parent), m_eventCode(eventCode), m_clrText(ZuSysColor(ZU_COLOR_WINDOWTEXT)),
      m_clrBk(BusyColor(busyStatus)), m_clrLine(BusyLineColor(busyStatus)), m_notify(notifyWindow)
{
    // Erasing the background does nothing: no fill of its own beyond what DrawAppointment paints.
    setAutoFillBackground(false);
    m_hold = new CZuHoldRecognizer(this);
    connect(m_hold, &CZuHoldRecognizer::held, this, [this](QPoint pos) { emit held(mapToGlobal(pos)); });
}

CAppointment::~CAppointment()
{
    // The partner's link and the process-wide selection are QPointers: both let go by themselves.
    if (m_clone && m_clone->m_clone == this)
        m_clone->m_clone = nullptr;
}

COLORREF CAppointment::BusyColor(int busyStatus)
{
    return m_clrBusyStatus[validStatus(busyStatus) ? busyStatus : kDefaultStatus];
}

COLORREF CAppointment::BusyLineColor(int busyStatus)
{
    return m_clrBusyStatusLine[validStatus(busyStatus) ? busyStatus : kDefaultStatus];
}

void CAppointment::SetStatusCode(int busyStatus)
{
    if (!validStatus(busyStatus))
        return;
    m_clrBk = m_clrBusyStatus[busyStatus];
    m_clrLine = m_clrBusyStatusLine[busyStatus];
    update();
}

void CAppointment::SetBkColor(COLORREF color)
{
    m_clrBk = color;
    update();
}

void CAppointment::SetTextColor(COLORREF color)
{
    m_clrText = color;
    update();
}

void CAppointment::SetText(const CString& text)
{
    m_text = text;
    update();
}

void CAppointment::SetState(int state, int noEcho)
{
    m_state = state ? 1 : 0;
    update();
    if (m_clone && m_clone != this && !noEcho)
        m_clone->SetState(m_state, 1);
}

void CAppointment::DrawAppointment(QPainter* painter, int selected)
{
    if (!painter)
        return;
    QRect r = rect().adjusted(1, 1, -1, -1);
    if (r.isEmpty())
        return;
    painter->fillRect(r, qcolor(m_clrBk));
    QRect text = r;
    if (selected) {
        roundRect(*painter, r, m_clrFrame);
        roundRect(*painter, r.adjusted(1, 1, -1, -1), m_clrInnerFrame);
        text.adjust(3, 1, -1, -1);
    } else {
        roundRect(*painter, r, m_clrLine);
        text.adjust(1, 0, 0, 0);
    }
    if (m_text.IsEmpty() || text.isEmpty())
        return;
    painter->setFont(font());
    painter->setPen(qcolor(m_clrText));
    const CString shown = GetEllipsisText(painter, m_text.str().c_str(), text);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown.toQString());
}

void CAppointment::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawAppointment(&painter, m_state);
}

void CAppointment::Select()
{
    if (m_hwndSelected && m_hwndSelected != this)
        m_hwndSelected->SetState(0, 0);
    m_hwndSelected = this;
    m_state = 1;
    repaint();
    if (m_clone && m_clone != this) {
        m_clone->m_state = 1;
        m_clone->repaint();
    }
}

void CAppointment::OnClick()
{
    update();
    if (m_clone && m_clone != this)
        m_clone->SetState(1, 1);
    QPointer<CAppointment> self(this);
    CWnd* target = m_notify ? m_notify.data() : parent();
    if (target) {
        NMAPPOINTMENT nm{this, objectName().toUInt(), -2, m_eventCode};
        ZuMessageEvent ev(WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
        QCoreApplication::sendEvent(target, &ev);
    }
    // The report may have removed the box (a view that reloads).
    if (self)
        emit clicked(m_eventCode);
}

void CAppointment::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    Select();
    m_hold->Press(e->position().toPoint(), e->button());
}

void CAppointment::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    m_hold->Move(e->position().toPoint());
}

void CAppointment::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    if (m_hold->Release(e->position().toPoint()) && rect().contains(e->position().toPoint()))
        OnClick();
}

bool CAppointment::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == ZU_WM_QUERY_EVENT_CODE) {
            if (m->lParam())
                *reinterpret_cast<DWORD*>(m->lParam()) = m_eventCode;
            m->setResult(0);
            return true;
        }
    }
    return QWidget::event(e);
}
