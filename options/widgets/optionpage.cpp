#include "widgets/optionpage.h"

#include "resource.h"
#include "widgets/propertysheet.h"
#include "windowmessage.h"
#include "widgets/zufont.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPainter>

COptionPage::COptionPage(UINT templateId, const QString& heading, const CString& tabCaption)
    : CPropertyPage(templateId, CString()), m_heading(heading), m_tabCaption(tabCaption)
{
    setFont(ZuFont(L"Tahoma", 13));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

BOOL COptionPage::OnSetActive()
{
    SetTabText(m_tabCaption);
    return TRUE;
}

BOOL COptionPage::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

QCheckBox* COptionPage::MakeCheckBox(UINT id, const QString& text, const QRect& at)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::number(id));
    box->setGeometry(at);
    return box;
}

void COptionPage::paintEvent(QPaintEvent* event)
{
    CPropertyPage::paintEvent(event);
    QPainter p(this);
    p.setFont(ZuFont(L"Tahoma", 13, FW_BOLD));
    p.setPen(QColor(0, 0, 156));
    p.drawText(QRect(kHeadingX, 0, width() - kHeadingX, kHeadingHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               m_heading);
    p.setPen(Qt::black);
    p.drawLine(0, kHeadingHeight, width(), kHeadingHeight);
}

bool COptionPage::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_COMMAND && LOWORD(m->wParam()) == ZU_IDC_OPTION_SAVE && GetSheet()) {
            ZuMessageEvent forward(WM_COMMAND, m->wParam(), m->lParam());
            QCoreApplication::sendEvent(GetSheet(), &forward);
            m->setResult(forward.result());
            return true;
        }
    }
    return CPropertyPage::event(e);
}
