// photobox.h - the small picture box of the card's header and of the picture page.
//
// A bordered child window: the border lies outside its client area (a 90 × 100 box is 92 × 102
// with its border). SetPicture keeps the path and decodes the file at the size the box draws it
// (CVOImage: regular files only, size caps), so an unsafe or undecodable path leaves the box
// empty and returns at once. Painting fills the client with the window colour, then draws the
// image by PhotoBoxRect.
#pragma once

#include "cstring.h"
#include "widgets/cvoimage.h"
#include "wintypes.h"

#include <QFrame>
#include <QRectF>

// Where the image goes in the client area: scale-to-fit takes s = min(cw / iw, ch / ih) and
// centres iw·s × ih·s; otherwise the image keeps its size, centred (the offset is negative when
// the image is larger than the client).
QRectF PhotoBoxRect(QSize client, QSize image, bool scaleToFit);

class CPhotoBox : public QFrame {
    Q_OBJECT
public:
    // A box with a client area of `client` pixels (90 × 100 on the card and the page).
    explicit CPhotoBox(QWidget* parent = nullptr, UINT id = 0, QSize client = QSize(90, 100));

    // Keeps the path and loads the image (the earlier one released first); non-zero when loaded.
    BOOL SetPicture(const CString& path);
    void SetScaleToFit(BOOL fit);
    BOOL IsScaleToFit() const { return m_fit; }
    CString GetPicture() const { return m_path; }
    BOOL IsLoaded() const { return m_image.IsLoaded(); }
    int GetImageWidth() const { return m_image.GetWidth(); }
    int GetImageHeight() const { return m_image.GetHeight(); }
    // The image's rectangle of the last paint, in client coordinates.
    QRectF GetLastDrawRect() const { return m_lastRect; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CString m_path;
    CVOImage m_image;
    BOOL m_fit = TRUE;
    QRectF m_lastRect;
};
