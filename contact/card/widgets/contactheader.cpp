#include "contactheader.h"

#include "cardlook_p.h"
#include "contactdata.h"
#include "contactfields.h"
#include "photobox.h"
#include "recordlayouts.h"
#include "resource.h"
#include "widgets/bmpbutton.h"

#include <QPainter>
#include <algorithm>

CContactHeader::CContactHeader(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(IDC_CARD_HEADER));
    m_box = new CPhotoBox(this, IDC_CARD_PHOTO);
    m_box->move(kPictureX - 1, kPictureY - 1);
    m_box->SetScaleToFit(TRUE);
    m_box->hide();
    m_toggle = new CBmpButton(this, IDC_NOTE_TOGGLE);
    m_toggle->LoadButtonBitmaps(IDB_NOTE_UP, IDB_NOTE_DOWN, 0, 0, ZuModule::Contact);
    m_toggle->hide();
    connect(m_toggle, &QAbstractButton::clicked, this, [this] {
        SetNoteShown(!m_noteShown);
        emit noteToggled(m_noteShown);
    });
}

void CContactHeader::SetContact(const CContactData& data)
{
    m_lines = ZuCardHeaderLines(data);
    const CString path = data.GetString(ZUID_CON_PICTURE);
    m_hasPicture = !path.IsEmpty();
    if (m_hasPicture)
        m_box->SetPicture(path);
    m_box->setVisible(m_hasPicture);
    m_toggle->setVisible(!data.GetNote().empty());
    SetNoteShown(false);
    resize(width(), PanelHeight());
    update();
}

void CContactHeader::SetNoteShown(bool shown)
{
    m_noteShown = shown;
    // The toggle shows its pressed picture while the note is up.
    m_toggle->LoadButtonBitmaps(shown ? IDB_NOTE_DOWN : IDB_NOTE_UP, IDB_NOTE_DOWN, 0, 0, ZuModule::Contact);
    m_toggle->move(width() - m_toggle->width() - 4, 4);
}

int CContactHeader::PanelHeight() const
{
    const int text = kFirstLineY + static_cast<int>(m_lines.size()) * kLineHeight + 4;
    const int picture = m_hasPicture ? kPictureY + 100 + 5 : 0;
    return std::max({text, picture, 26});
}

void CContactHeader::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), zucard::windowColor());
    if (m_toggle)
        m_toggle->move(width() - m_toggle->width() - 4, 4);
    p.setFont(zucard::listFont(13));
    p.setPen(QColor(0, 0, 0));
    const int x = GetTextX();
    const int right = width() - (m_toggle && m_toggle->isVisible() ? m_toggle->width() + 8 : 4);
    int y = kFirstLineY;
    for (const CString& line : m_lines) {
        const QRect r(x, y, right - x, kLineHeight);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, p.fontMetrics().elidedText(line.toQString(), Qt::ElideRight, r.width()));
        y += kLineHeight;
    }
    p.setPen(QColor(160, 160, 160));
    p.drawLine(0, height() - 1, width(), height() - 1);
}
