// appointment.h - one appointment as a coloured rounded box in the calendar's hour grids.
//
// The box's colours show the appointment's busy status (0 to 3; any other status takes status
// 2's colours). Pressing a box selects it: one box is selected in the whole process
// (m_hwndSelected), so pressing another releases the previous one and its clone. Two boxes can
// be paired (each the other's clone), the two pieces of an appointment split at noon: pressing
// one presses both.
//
// A tap (press and release on the box, no hold) reports to the notify window, or to the parent
// when none is set: a ZuMessageEvent WM_NOTIFY sent (not posted) with wParam the box's id and
// lParam a pointer to an NMAPPOINTMENT valid during the call (code NM_CLICK, the event code);
// clicked() is emitted as well. A still press held CZuHoldRecognizer::kHoldMs, or a right-button
// press, is a hold: held() with the global point, and no click.
//
// Drawing: the client less 1 pixel on every side is filled with the background colour and
// outlined as a rounded rectangle (5 x 5 corners) in the line colour; a selected box has two
// frames instead, the selection colour (red) outside and the inner colour (white) inside. The
// text sits at the top left, shortened with "...", 1 pixel in from the left (selected: 3 from
// the left and 1 from the other sides).
//
// Lifetime: a box that goes away is no longer selected and no longer anyone's clone.
#pragma once

#include "cstring.h"
#include "windowmessage.h"
#include "wintypes.h"

#include <QPointer>
#include <QWidget>

class CZuHoldRecognizer;

// The message a box answers with its event code (lParam points to the DWORD to fill).
constexpr UINT ZU_WM_QUERY_EVENT_CODE = 0x1599;

// What a click report carries: the box, its id, the code and the box's event code.
struct NMAPPOINTMENT {
    CWnd* hwndFrom = nullptr;
    UINT idFrom = 0;
    int code = 0;
    DWORD dwEventCode = 0;
};

class CAppointment : public QWidget {
    Q_OBJECT
public:
    static const COLORREF m_clrBusyStatus[4];
    static const COLORREF m_clrBusyStatusLine[4];
    // The box selected last in the whole process; null when it has gone.
    static QPointer<CAppointment> m_hwndSelected;

    explicit CAppointment(DWORD eventCode = 0, int busyStatus = 2, CWnd* notifyWindow = nullptr,
                          QWidget* parent = nullptr);
    ~CAppointment() override;

    // The fill colour of a busy status (status 2's for one outside 0 to 3), and its outline.
    static COLORREF BusyColor(int busyStatus);
    static COLORREF BusyLineColor(int busyStatus);

    void SetEventCode(DWORD code) { m_eventCode = code; }
    DWORD GetEventCode() const { return m_eventCode; }
    void SetNotifyWindow(CWnd* window) { m_notify = window; }
    CWnd* GetNotifyWindow() const { return m_notify.data(); }
    // The partner pressed together with this box; null unpairs it (on this side).
    void SetClone(CAppointment* clone) { m_clone = clone; }
    CAppointment* GetClone() const { return m_clone.data(); }
    // Takes both colours of a status 0 to 3 and repaints; other values are ignored.
    void SetStatusCode(int busyStatus);
    void SetBkColor(COLORREF color);
    void SetTextColor(COLORREF color);
    COLORREF GetBkColor() const { return m_clrBk; }
    COLORREF GetLineColor() const { return m_clrLine; }
    // Sets the state (0 normal, 1 selected) and repaints; with noEcho 0 the clone follows.
    void SetState(int state, int noEcho = 0);
    int GetState() const { return m_state; }
    void SetText(const CString& text);
    const CString& GetText() const { return m_text; }

    // Paints the box in its state, or selected when `selected` is non-zero.
    void DrawAppointment(QPainter* painter, int selected);

signals:
    void clicked(DWORD eventCode);
    void held(QPoint globalPos);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void Select();
    void OnClick();

    DWORD m_eventCode = 0;
    COLORREF m_clrText = 0;
    COLORREF m_clrBk = 0;
    COLORREF m_clrLine = 0;
    COLORREF m_clrFrame = RGB(255, 0, 0);
    COLORREF m_clrInnerFrame = RGB(255, 255, 255);
    int m_state = 0;
    QPointer<CWnd> m_notify;
    QPointer<CAppointment> m_clone;
    CString m_text;
    CZuHoldRecognizer* m_hold = nullptr;
};
