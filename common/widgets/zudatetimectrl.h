// zudatetimectrl.h - the date control: a date with a popup calendar, own colours and font.
//
// The control shows its date in the locale's short date format, or, in owner-draw-text mode, a
// caller-given text (the navigation bar's caption) centred on one line; a tap opens the calendar
// in either mode (so do Space, F4 and Alt+Down). Default font "Tahoma", height 13 pixels, weight
// 400 (700 when bold); every colour and font setter rebuilds what it changes and repaints.
//
// Change notification: only a user's pick in the calendar reports a change, and only when the
// picked date differs from the control's date. It emits dateChanged and then sends (not posts)
// the parent a WM_COMMAND ZuMessageEvent with wParam MAKELONG(control id, DTN_ZU_DATECHANGED)
// and lParam the control, so the parent handles it as its command <id> (107 in the navigation
// bar). A date set by code (SetDate) or a text (SetText) never reports anything, so a caller that
// shows the date it has just moved to does not hear of it again.
#pragma once

#include "cstring.h"
#include "windowmessage.h"
#include "wintypes.h"

#include <QCalendarWidget>
#include <QDate>
#include <QFont>
#include <QPointer>
#include <QWidget>



// The notify code of a picked date in the WM_COMMAND of the date control.
constexpr WORD DTN_ZU_DATECHANGED = 0;

// The system locale's settings that RefreshDateFormat reads.
struct ZuDateFormatInfo {
    UINT ansiCodePage = 0;
    UINT oemCodePage = 0;
    CString language;      // English language name
    CString country;       // English country name
    CString timeFormat;
    CString longDateFormat;
    CString currency;
    CString timeType;      // "24-hour format" or "AM / PM 12-hour format"
    CString calendarType;  // CalendarTypeName of the calendar in use
};

class CZUDateTimeCtrl : public QWidget {
    Q_OBJECT
public:
    // id becomes the objectName (0: none) and the command id of the change report.
    explicit CZUDateTimeCtrl(QWidget* parent = nullptr, UINT id = 0);
    ~CZUDateTimeCtrl() override;

    QDate GetDate() const { return m_date; }
    // Sets the date without reporting a change; an invalid date is ignored.
    void SetDate(QDate date);

    // The text shown in owner-draw-text mode; never reports a change.
    void SetText(const CString& text);
    CString GetText() const { return m_text; }
    void SetOwnerDrawText(BOOL on);
    // The display format of the date (Qt's date format, "yyyy-MM-dd"); empty: the locale's
    // short date format.
    void SetFormat(const CString& format)
    {
        m_format = format;
        update();
    }
    BOOL IsOwnerDrawText() const { return m_ownerDraw; }

    void SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return m_clrBk; }
    void SetTextColor(COLORREF c);
    COLORREF GetTextColor() const { return m_clrText; }
    void SetFontName(const CString& name);
    CString GetFontName() const { return m_fontName; }
    // Height in pixels.
    void SetFontSize(int height);
    int GetFontSize() const { return m_fontSize; }
    void SetFontBold(BOOL on);
    BOOL IsFontBold() const { return m_bold; }
    void SetFontItalic(BOOL on);
    BOOL IsFontItalic() const { return m_italic; }
    void SetFontUnderline(BOOL on);
    BOOL IsFontUnderline() const { return m_underline; }
    // A line along the bottom of the client area, in the given colour.
    void SetDrawLine(BOOL on, COLORREF color = RGB(0, 0, 0));

    // Re-reads the locale settings (below) and repaints.
    void RefreshDateFormat();
    const ZuDateFormatInfo& GetDateFormatInfo() const { return m_info; }
    // 1 "Gregorian - Localized" ... 12 "Gregorian Transliterated French", others "Unknown".
    static CString CalendarTypeName(int type);

    // The popup calendar (created on first use; null before the first tap).
    QCalendarWidget* calendarPopup() const { return m_popup; }
    // Opens the calendar under the control, as a tap does.
    void ShowCalendar();

signals:
    void dateChanged(QDate date);

protected:
    void GetBaseInformation();
    void CreateDefaultFont();
    void ReconstructFont();
    void DrawLine(QPainter* painter);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Space, F4 and Alt+Down open the calendar, as a tap does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pick(QDate date);

    QDate m_date;
    CString m_text;
    CString m_format;
    BOOL m_ownerDraw = FALSE;
    COLORREF m_clrBk = RGB(255, 255, 255);
    COLORREF m_clrText = RGB(0, 0, 0);
    CString m_fontName;
    int m_fontSize = 13;
    BOOL m_bold = FALSE;
    BOOL m_italic = FALSE;
    BOOL m_underline = FALSE;
    BOOL m_drawLine = FALSE;
    COLORREF m_clrLine = RGB(0, 0, 0);
    QFont m_font;
    ZuDateFormatInfo m_info;
    QPointer<QCalendarWidget> m_popup;
};
