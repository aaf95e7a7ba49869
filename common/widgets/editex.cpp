#include "editex.h"

#include "syscolors.h"
#include "textutil.h"

#include <QPainter>

CEditEx::CEditEx(QWidget* parent, UINT id) : QLineEdit(parent)
{
    if (id)
        setObjectName(QString::number(id));
    setFrame(false);
    setTextMargins(2, 0, 2, 0);
}

void CEditEx::DrawEdit(QPainter* painter)
{
    const COLORREF c = hasFocus() ? ZuSysColor(ZU_COLOR_WINDOWTEXT) : ZuSysColor(ZU_COLOR_BTNSHADOW);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    painter->drawRect(rect().adjusted(0, 0, -1, -1));
}

void CEditEx::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    DrawEdit(&painter);
}

void CEditEx::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    PPC_KeypadUp();
    update();
}

void CEditEx::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    PPC_KeypadDown();
    update();
}
