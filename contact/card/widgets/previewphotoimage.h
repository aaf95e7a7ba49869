// previewphotoimage.h - the editor's picture page (template 189): the contact's picture path.
//
// "사진 설정" (1021) switches the picture on or off: cleared, the path is discarded from the
// editor's data record (the save then removes 0x8200) and the path edit (1022), the browse button
// "..." (1023) and the box are hidden. Browse opens a file dialog (through the browse seam below)
// with the graphic files' filter; a chosen file becomes the path, is shown and loaded into the
// box (70, 110, 90 × 100 client, bordered, scale-to-fit). A path typed into the edit is taken when
// the edit ends. A file that cannot be loaded leaves the box empty and the path in the record.
// The page draws "사진 입력" bold in dark blue in the band y 0-24 at x 8, and a line at y 24; its
// tab reads "사진설정" while the page is active.
#pragma once

#include "cstring.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"  // the page's QPointer needs the whole sheet

#include <QPointer>
#include <functional>

#include "photobox.h"
#include "widgets/editex.h"

#include <QCheckBox>
#include <QPushButton>

class CContactData;

class CPreviewPhotoImage : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 189;

    CPreviewPhotoImage();
    ~CPreviewPhotoImage() override;
    void SetData(CContactData* data) { m_data = data; }

    // The open-file dialog: given the page and the filter in Qt's form, gives the chosen path
    // (empty: cancelled). Tests answer it; without a handler a QFileDialog runs.
    using BrowseHandler = std::function<CString(QWidget* parent, const QString& filter)>;
    static BrowseHandler SetBrowseHandler(BrowseHandler handler);
    // The filter: "그래픽 파일 (...);;JPG 파일 (*.jpg);;...;;모든 파일 (*.*)", upper-case patterns too.
    static QString FileFilter();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    void OnCheck(bool checked);
    void OnBrowse();

    QCheckBox* GetCheck() const { return m_check; }
    CEditEx* GetPathEdit() const { return m_path; }
    QPushButton* GetBrowseButton() const { return m_browse; }
    CPhotoBox* GetBox() const { return m_box; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void showControls(bool show);
    void takePath(const CString& path);

    CContactData* m_data = nullptr;
    QPointer<QCheckBox> m_check;
    QPointer<CEditEx> m_path;
    QPointer<QPushButton> m_browse;
    QPointer<CPhotoBox> m_box;
};
