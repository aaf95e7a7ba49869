// editex.h - a one-line edit box that draws its own border and brings up the input panel.
//
// The box draws a one-pixel border (DrawEdit): shadow grey (128,128,128), black while it has the
// focus. Taking the focus shows the soft input panel (PPC_KeypadUp), losing it hides the panel.
// Korean is typed through the input method: the composition is drawn in the box without being
// its text until it is committed (QLineEdit's handling).
#pragma once

#include "wintypes.h"

#include <QLineEdit>

class QPainter;

class CEditEx : public QLineEdit {
    Q_OBJECT
public:
    // id becomes the objectName (0: none).
    explicit CEditEx(QWidget* parent = nullptr, UINT id = 0);

    // Draws the border over the box.
    void DrawEdit(QPainter* painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
