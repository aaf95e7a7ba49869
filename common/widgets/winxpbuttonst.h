// winxpbuttonst.h - the image button drawn in a rounded, gradient style.
//
// The same button as CCeButtonST; only its background and border differ: a vertical gradient from
// white to the background colour (the pressed one while pressed or checked) inside a 1-pixel
// frame of the button shadow colour, with rounded corners when SetRounded is on. Flat or not, it
// fills itself.
#pragma once

#include "cebuttonst.h"

class CWinXPButtonST : public CCeButtonST {
    Q_OBJECT
public:
    explicit CWinXPButtonST(QWidget* parent = nullptr, UINT id = 0);
    void SetRounded(BOOL rounded, BOOL repaint = TRUE);

protected:
    DWORD OnDrawBackground(QPainter& painter, const QRect& rect) override;
    DWORD OnDrawBorder(QPainter& painter, const QRect& rect) override;

private:
    BOOL m_bRounded = FALSE;
};
