#include "cecommandbarexp.h"

#include "controlnotify.h"

#include <QEvent>

CCeCommandBarExp::CCeCommandBarExp(QWidget* parent, UINT id) : CEToolBar(parent, id) {}

BOOL CCeCommandBarExp::Create(QWidget* parent, UINT id)
{
    if (!parent)
        return FALSE;
    if (parentWidget())
        parentWidget()->removeEventFilter(this);
    setParent(parent);
    ZuSetControlId(this, id);
    parent->installEventFilter(this);
    Place();
    show();
    return TRUE;
}

BOOL CCeCommandBarExp::CreateEx(QWidget* parent, DWORD, UINT id)
{
    return Create(parent, id);
}

void CCeCommandBarExp::Place()
{
    if (QWidget* parent = parentWidget())
        setGeometry(0, parent->height() - kHeight, parent->width(), kHeight);
}

bool CCeCommandBarExp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Place();
    return CEToolBar::eventFilter(watched, event);
}
