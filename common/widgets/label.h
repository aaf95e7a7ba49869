// label.h - rich static text: colours, gradient background, 3D text, link, flashing.
//
// The calendar's notification label (id 1009) is one. A click on the label reaches its parent as
// WM_COMMAND (id, STN_CLICKED) (controlnotify.h); a link label that does not notify its parent
// opens its link (SetLink's URL, else its text) with the shell verb "open" instead.
//
// Flashing: FlashText(TRUE) and FlashBackground(TRUE) run one 500-ms timer; each tick hides or
// shows again the text, the background or both, each after its own state, so one flash never
// shows what the other hides. FlashText(FALSE) and FlashBackground(FALSE) stop that flash and
// leave what it flashed shown, whatever the tick; the timer stops with the last flash. A hidden
// background is not painted (the parent shows through); hidden text is not drawn.
//
// Text is drawn in the font given (default "Tahoma" h12 w400, zufont.h), "\r\n" breaks lines, the
// text sits at the top, aligned left, centred or right, moved by the text offset.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QBasicTimer>
#include <QWidget>

struct LOGFONT;

class CLabel : public QWidget {
    Q_OBJECT
public:
    enum BackFillMode { Normal = 0, Gradient = 1 };
    // Text alignment for SetTextAlign.
    enum { LABEL_ALIGN_LEFT = 0, LABEL_ALIGN_CENTER = 1, LABEL_ALIGN_RIGHT = 2 };

    static constexpr int kFlashTimerId = 1;
    static constexpr int kFlashPeriodMs = 500;

    explicit CLabel(QWidget* parent = nullptr, UINT id = 0);
    ~CLabel() override;

    CLabel& SetText(const wchar_t* text);
    CString GetText() const { return m_text; }
    CLabel& SetTextColor(COLORREF color);
    // The background colour; with Gradient the fill runs from color to highColor left to right.
    CLabel& SetBkColor(COLORREF color, COLORREF highColor = 0, BackFillMode mode = Normal);
    CLabel& SetFontBold(BOOL on);
    CLabel& SetFontItalic(BOOL on);
    CLabel& SetFontUnderline(BOOL on);
    CLabel& SetFontName(const wchar_t* face);
    // Pixel height.
    CLabel& SetFontSize(int height);
    CLabel& SetFont(const LOGFONT& lf);
    CLabel& SetFont(const QFont& font);
    CLabel& SetFont3D(BOOL on, BOOL raised = TRUE);
    CLabel& SetText3DHiliteColor(COLORREF color);
    CLabel& SetSunken(BOOL on);
    // A 1-pixel frame in the window text colour.
    CLabel& SetBorder(BOOL on);
    CLabel& SetTransparent(BOOL on);
    CLabel& SetLink(BOOL link, BOOL notifyParent, const wchar_t* url = nullptr);
    CLabel& SetLinkCursor(Qt::CursorShape cursor);
    // Tenths of a degree, counter-clockwise, about the centre.
    CLabel& SetRotationAngle(int tenths);
    CLabel& SetTextAlign(int align);
    CLabel& SetWordBreak(BOOL on);
    CLabel& SetAutoResize(BOOL on);
    CLabel& SetTextOffset(int x, int y);
    int GetTextHeight() const;
    QSize GetTextSize() const;

    CLabel& FlashText(BOOL on);
    CLabel& FlashBackground(BOOL on);

    // Fills rect with the gradient from start to end colour in steps strips.
    static void DrawGradientFill(QPainter& painter, const QRect& rect, COLORREF start, COLORREF end, int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void updateFlashTimer();
    void fitToText();
    QString displayText() const;
    int textFlags() const;

    CString m_text;
    CString m_url;
    COLORREF m_crText;
    COLORREF m_crBack;
    COLORREF m_crBackHigh = 0;
    COLORREF m_crHilite;
    BackFillMode m_fillMode = Normal;
    QFont m_font;
    BOOL m_b3D = FALSE;
    BOOL m_b3DRaised = TRUE;
    BOOL m_bSunken = FALSE;
    BOOL m_bBorder = FALSE;
    BOOL m_bTransparent = FALSE;
    BOOL m_bLink = FALSE;
    BOOL m_bNotifyParent = TRUE;
    int m_nAngle = 0;
    int m_nAlign = LABEL_ALIGN_LEFT;
    BOOL m_bWordBreak = FALSE;
    BOOL m_bAutoResize = FALSE;
    QPoint m_offset;
    bool m_pressed = false;

    BOOL m_bFlashText = FALSE;
    BOOL m_bFlashBack = FALSE;
    bool m_textHidden = false;
    bool m_backHidden = false;
    QBasicTimer m_flashTimer;  // the label's timer 1
};
