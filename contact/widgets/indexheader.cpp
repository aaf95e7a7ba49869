#include "indexheader.h"

#include "widgets/zufont.h"

#include <QMouseEvent>
#include <QPainter>

CIndexHeader::CIndexHeader(QWidget* parent) : QWidget(parent) {}

QString CIndexHeader::Label(int button)
{
    static const char16_t* const labels[9] = {u"전체", u"ㄱ", u"ㄷ", u"ㅁ", u"ㅅ", u"ㅈ", u"ㅋ", u"A", u"#"};
    return button >= 0 && button < 9 ? QString::fromUtf16(labels[button]) : QString();
}

int CIndexHeader::ButtonAt(QPoint pos) const
{
    if (!rect().contains(pos))
        return -1;
    return std::min(8, pos.x() / std::max(1, ItemWidth()));
}

void CIndexHeader::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(212, 208, 200));
    p.setFont(ZuFont(L"Tahoma", 12));
    const int w = ItemWidth();
    for (int i = 0; i < 9; ++i) {
        const QRect cell(i * w, 0, w, height());
        p.setPen(QColor(128, 128, 128));
        p.drawLine(cell.topRight(), cell.bottomRight());
        p.setPen(Qt::black);
        p.drawText(cell, Qt::AlignCenter, Label(i));
    }
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void CIndexHeader::mousePressEvent(QMouseEvent* e)
{
    const int b = ButtonAt(e->position().toPoint());
    if (b >= 0)
        emit indexPressed(b);
}
