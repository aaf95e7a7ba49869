// staticfader.h - a main and a sub text that fade in from the background colour.
//
// Display(main, sub, fadeTime, grey, mainFont, subFont) shows the two texts (the main one in the
// upper half, the sub one in the lower) and fades them in: each paint draws them in the colour
// that lies, linearly per channel, between the background colour and the text's own colour, by
// the share of fadeTime (milliseconds) that has passed since Display, in whole 10-ms steps
// (FadeColour). Timer 500 ticks every 10 ms while the fade runs, and stops once the fade time has
// passed; that last paint and every later one use the texts' own colours. A fade time of 0 or less
// shows the texts in their own colours at once, with no timer. The grey scheme sets both text
// colours to (0,0,60) and the background to (210,210,210). Font texts are autofont.h's; an empty
// or malformed one keeps the current font.
#pragma once

#include "autofont.h"
#include "cstring.h"
#include "wintypes.h"
#include "zumodule.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

class CStaticFader : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerId = 500;
    static constexpr int kTickMs = 10;

    explicit CStaticFader(QWidget* parent = nullptr, UINT id = 0);

    // Colours before any Display: background, main text, sub text.
    void Initialise(COLORREF background, COLORREF mainText, COLORREF subText);
    void Display(const CString& mainText, const CString& subText, int fadeTime, bool greyScheme,
                 const CString& mainFont = CString(), const CString& subFont = CString());

    void SetMainTextColour(COLORREF c) { m_crMain = c; update(); }
    void SetSubTextColour(COLORREF c) { m_crSub = c; update(); }
    void SetBackgroundColour(COLORREF c) { m_crBack = c; update(); }
    COLORREF GetBackgroundColour() const { return m_crBack; }
    void SetAlignLeft() { m_align = Qt::AlignLeft; update(); }
    void SetAlignRight() { m_align = Qt::AlignRight; update(); }
    void SetAlignCentre() { m_align = Qt::AlignHCenter; update(); }
    void SetDrawShadow(bool on) { m_shadow = on; update(); }
    void SetDrawBorder(bool on) { m_border = on; update(); }
    // A bitmap of the module drawn at the left, the texts beside it; 0 for none.
    void SetBitmapID(UINT id, ZuModule module = ZuModule::Common);

    // True while the fade runs.
    bool IsFading() const { return m_timer.isActive(); }

    // The colour at elapsedMs of a fadeMs fade from `from` to `to`, in whole 10-ms steps; `to`
    // once the fade is over or when fadeMs ≤ 0.
    static COLORREF FadeColour(COLORREF from, COLORREF to, qint64 elapsedMs, int fadeMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    qint64 elapsed() const;

    CString m_main, m_sub;
    CAutoFont m_mainFont, m_subFont;
    COLORREF m_crBack;
    COLORREF m_crMain;
    COLORREF m_crSub;
    int m_fadeMs = 0;
    QElapsedTimer m_clock;
    QBasicTimer m_timer;  // the fader's timer 500
    Qt::Alignment m_align = Qt::AlignHCenter;
    bool m_shadow = false;
    bool m_border = false;
    QPixmap m_bitmap;
};
