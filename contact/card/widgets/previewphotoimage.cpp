#include "previewphotoimage.h"

#include "cardlook_p.h"
#include "contactdata.h"
#include "photobox.h"
#include "recordlayouts.h"
#include "resource.h"
#include "widgets/editex.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QPainter>
#include <QPushButton>

#include <utility>

namespace {
CPreviewPhotoImage::BrowseHandler& browseHandler()
{
    static CPreviewPhotoImage::BrowseHandler handler;
    return handler;
}
}  // namespace

CPreviewPhotoImage::BrowseHandler CPreviewPhotoImage::SetBrowseHandler(BrowseHandler handler)
{
    return std::exchange(browseHandler(), std::move(handler));
}

QString CPreviewPhotoImage::FileFilter()
{
    return QStringLiteral("그래픽 파일 (*.jpg *.gif *.bmp *.png *.JPG *.GIF *.BMP *.PNG);;"
                          "JPG 파일 (*.jpg) (*.jpg *.JPG);;GIF 파일 (*.gif) (*.gif *.GIF);;"
                          "BMP 파일 (*.bmp) (*.bmp *.BMP);;PNG 파일 (*.png) (*.png *.PNG);;모든 파일 (*.*) (*)");
}

CPreviewPhotoImage::CPreviewPhotoImage() : CPropertyPage(kTemplateId, CString()) {}

CPreviewPhotoImage::~CPreviewPhotoImage()
{
    delete m_box;
}

BOOL CPreviewPhotoImage::OnInitDialog()
{
    m_check = new QCheckBox(QStringLiteral("사진 설정"), this);
    m_check->setObjectName(QString::number(IDC_PHOTO_CHECK));
    m_check->setFont(zucard::listFont(13));
    m_check->setGeometry(8, 34, 120, 20);
    m_path = new CEditEx(this, IDC_PHOTO_PATH);
    m_path->setFont(zucard::listFont(13));
    m_path->setGeometry(8, 64, 196, 20);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setObjectName(QString::number(IDC_PHOTO_BROWSE));
    m_browse->setGeometry(208, 64, 24, 20);
    m_box = new CPhotoBox(this, IDC_PHOTO_BOX);
    m_box->move(70 - 1, 110 - 1);  // the border lies around the 90 × 100 client area
    m_box->SetScaleToFit(TRUE);
    connect(m_check, &QCheckBox::clicked, this, &CPreviewPhotoImage::OnCheck);
    connect(m_browse, &QPushButton::clicked, this, &CPreviewPhotoImage::OnBrowse);
    connect(m_path, &QLineEdit::editingFinished, this, [this] {
        const CString typed = CString::fromQString(m_path->text().trimmed());
        if (m_data && typed != m_data->GetString(ZUID_CON_PICTURE))
            takePath(typed);
    });
    const CString path = m_data ? m_data->GetString(ZUID_CON_PICTURE) : CString();
    m_check->setChecked(!path.IsEmpty());
    m_path->setText(path.toQString());
    if (!path.IsEmpty())
        m_box->SetPicture(path);
    showControls(!path.IsEmpty());
    return TRUE;
}

void CPreviewPhotoImage::showControls(bool show)
{
    m_path->setVisible(show);
    m_browse->setVisible(show);
    m_box->setVisible(show);
}

void CPreviewPhotoImage::takePath(const CString& path)
{
    if (m_data)
        m_data->SetString(ZUID_CON_PICTURE, path);
    m_path->setText(path.toQString());
    m_box->SetPicture(path);
}

void CPreviewPhotoImage::OnCheck(bool checked)
{
    if (!checked) {
        if (m_data)
            m_data->SetString(ZUID_CON_PICTURE, CString());
        m_path->clear();
        m_box->SetPicture(CString());
    }
    showControls(checked);
}

void CPreviewPhotoImage::OnBrowse()
{
    CString chosen;
    if (browseHandler())
        chosen = browseHandler()(this, FileFilter());
    else
        chosen = CString::fromQString(QFileDialog::getOpenFileName(this, QString(), QString(), FileFilter()));
    if (chosen.IsEmpty())
        return;
    m_check->setChecked(true);
    takePath(chosen);
    showControls(true);
}

BOOL CPreviewPhotoImage::OnSetActive()
{
    SetTabText(L"사진설정");
    return TRUE;
}

BOOL CPreviewPhotoImage::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

BOOL CPreviewPhotoImage::OnApply()
{
    if (m_path && m_check && m_check->isChecked() && m_data) {
        const CString typed = CString::fromQString(m_path->text().trimmed());
        m_data->SetString(ZUID_CON_PICTURE, typed);
    }
    return TRUE;
}

void CPreviewPhotoImage::paintEvent(QPaintEvent* e)
{
    CPropertyPage::paintEvent(e);
    QPainter p(this);
    p.fillRect(rect(), zucard::windowColor());
    p.setFont(zucard::listFont(13, true));
    p.setPen(QColor(0, 0, 156));
    p.drawText(QRect(8, 0, width() - 8, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("사진 입력"));
    p.setPen(QColor(0, 0, 0));
    p.drawLine(0, 24, width(), 24);
}
