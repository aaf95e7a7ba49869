#include "cebuttonst.h"

#include "bitmap.h"
#include "controlnotify.h"
#include "syscolors.h"
#include "windowmessage.h"
#include "zufont.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QPainter>

namespace {
QColor toColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A 1-pixel edge: light top and left, dark bottom and right (swapped when sunken).
void drawEdge(QPainter& p, const QRect& r, bool sunken)
{
    const QColor light = toColor(ZuSysColor(ZU_COLOR_BTNHIGHLIGHT));
    const QColor dark = toColor(ZuSysColor(ZU_COLOR_BTNSHADOW));
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
}  // namespace

CCeButtonST::CCeButtonST(QWidget* parent, UINT id) : QAbstractButton(parent)
{
    ZuSetControlId(this, id);
    setFont(ZuFont(L"Tahoma", 12, FW_NORMAL));
    setFocusPolicy(Qt::NoFocus);
    SetDefaultColors(FALSE);
    connect(this, &QAbstractButton::clicked, this, &CCeButtonST::onClicked);
}

CCeButtonST::~CCeButtonST() = default;

DWORD CCeButtonST::SetColor(BYTE index, COLORREF color, BOOL repaint)
{
    if (index >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[index] = color;
    if (repaint)
        update();
    return BTNST_OK;
}

DWORD CCeButtonST::GetColor(BYTE index, COLORREF* color) const
{
    if (index >= BTNST_MAX_COLORS || !color)
        return BTNST_INVALIDINDEX;
    *color = m_crColors[index];
    return BTNST_OK;
}

DWORD CCeButtonST::SetDefaultColors(BOOL repaint)
{
    m_crColors[BTNST_COLOR_BK_IN] = ZuSysColor(ZU_COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_IN] = ZuSysColor(ZU_COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_OUT] = ZuSysColor(ZU_COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_OUT] = ZuSysColor(ZU_COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_FOCUS] = ZuSysColor(ZU_COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_FOCUS] = ZuSysColor(ZU_COLOR_BTNTEXT);
    if (repaint)
        update();
    return BTNST_OK;
}

QImage CCeButtonST::CreateBitmapMask(const QImage& bitmap, COLORREF transparent)
{
    QImage img = bitmap.convertToFormat(QImage::Format_ARGB32);
    img.setDevicePixelRatio(bitmap.devicePixelRatio());  // a 2x bitmap stays one
    const QRgb key = qRgb(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == (key & 0x00FFFFFFu))
                line[x] = 0;
    }
    return img;
}

DWORD CCeButtonST::SetIcon(const QPixmap& in, const QPixmap& out)
{
    FreeResources();
    if (in.isNull())
        return BTNST_INVALIDRESOURCE;
    m_images[0] = in.toImage().convertToFormat(QImage::Format_ARGB32);
    m_images[0].setDevicePixelRatio(in.devicePixelRatio());
    if (!out.isNull()) {
        m_images[1] = out.toImage().convertToFormat(QImage::Format_ARGB32);
        m_images[1].setDevicePixelRatio(out.devicePixelRatio());
    }
    m_bImagesAreIcons = true;
    update();
    return BTNST_OK;
}

DWORD CCeButtonST::SetBitmaps(const QPixmap& in, COLORREF transparentIn, const QPixmap& out, COLORREF transparentOut)
{
    FreeResources();
    if (in.isNull())
        return BTNST_INVALIDRESOURCE;
    QImage inImage = in.toImage();
    inImage.setDevicePixelRatio(in.devicePixelRatio());
    m_images[0] = CreateBitmapMask(inImage, transparentIn);
    if (!out.isNull()) {
        QImage outImage = out.toImage();
        outImage.setDevicePixelRatio(out.devicePixelRatio());
        m_images[1] = CreateBitmapMask(outImage, transparentOut);
    }
    m_bImagesAreIcons = false;
    update();
    return BTNST_OK;
}

DWORD CCeButtonST::SetBitmaps(UINT inId, COLORREF transparentIn, UINT outId, COLORREF transparentOut, ZuModule module)
{
    const QPixmap in = ZuLoadBitmap(inId, module);
    const QPixmap out = outId ? ZuLoadBitmap(outId, module) : QPixmap();
    if (outId && out.isNull())
        return BTNST_INVALIDRESOURCE;
    return SetBitmaps(in, transparentIn, out, transparentOut);
}

void CCeButtonST::FreeResources(BOOL)
{
    m_images[0] = QImage();
    m_images[1] = QImage();
}

void CCeButtonST::SetCheckBoxMode(BOOL on)
{
    setCheckable(on != 0);
    update();
}

void CCeButtonST::SetCheck(int check, BOOL repaint)
{
    if (!isCheckable())
        return;
    const QSignalBlocker block(this);
    setChecked(check != 0);
    if (repaint)
        update();
}

int CCeButtonST::GetCheck() const { return (isCheckable() && isChecked()) ? 1 : 0; }

void CCeButtonST::nextCheckState()
{
    // The check toggles before the parent hears of the click.
    if (isCheckable())
        setChecked(!isChecked());
}

void CCeButtonST::SetFlat(BOOL flat, BOOL repaint)
{
    m_bIsFlat = flat;
    if (repaint)
        update();
}

DWORD CCeButtonST::SetAlign(BYTE align, BOOL repaint)
{
    if (align > ST_ALIGN_OVERLAP)
        return BTNST_INVALIDALIGN;
    m_byAlign = align;
    if (repaint)
        update();
    return BTNST_OK;
}

void CCeButtonST::SetAlwaysTrack(BOOL track) { m_bAlwaysTrack = track; }
void CCeButtonST::SetBtnCursor(Qt::CursorShape cursor) { setCursor(cursor); }

void CCeButtonST::DrawBorder(BOOL enable, BOOL repaint)
{
    m_bDrawBorder = enable;
    if (repaint)
        update();
}

void CCeButtonST::DrawFlatFocus(BOOL enable, BOOL repaint)
{
    m_bDrawFlatFocus = enable;
    if (repaint)
        update();
}

void CCeButtonST::SetURL(const wchar_t* url) { m_url = CString(url); }

void CCeButtonST::SetMenu(QMenu* menu, QWidget* owner)
{
    m_menu = menu;
    m_entries.clear();
    m_menuOwner = menu ? owner : nullptr;
}

void CCeButtonST::SetMenu(const std::vector<ZuMenuEntry>& entries, QWidget* owner)
{
    m_menu = nullptr;
    m_entries = entries;
    m_menuOwner = entries.empty() ? nullptr : owner;
}

bool CCeButtonST::HasMenu() const { return m_menu || !m_entries.empty(); }

std::vector<ZuMenuEntry> CCeButtonST::MenuEntries() const
{
    if (!m_menu)
        return m_entries;
    // The menu's entries as they stand at the click: text, state and command (the data).
    std::vector<ZuMenuEntry> entries;
    for (QAction* action : m_menu->actions()) {
        ZuMenuEntry e;
        if (action->isSeparator()) {
            e.separator = true;
        } else {
            e.id = action->data().toUInt();
            e.text = CString::fromQString(action->text());
            e.enabled = action->isEnabled();
            e.checked = action->isChecked();
        }
        entries.push_back(e);
    }
    return entries;
}

void CCeButtonST::PopMenu()
{
    const QPointer<QWidget> owner = m_menuOwner;
    const UINT id = ZuPopupMenu(this, MenuEntries(), mapToGlobal(QPoint(0, height())));
    if (id == 0 || !owner)
        return;
    ZuMessageEvent event(WM_COMMAND, MAKELONG(static_cast<WORD>(id), 0), 0);
    QCoreApplication::sendEvent(owner, &event);
}

void CCeButtonST::CancelHover()
{
    if (m_bMouseOnButton) {
        m_bMouseOnButton = FALSE;
        update();
    }
}

void CCeButtonST::TimerProc() { CancelHover(); }

void CCeButtonST::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (m_bAlwaysTrack && isEnabled()) {
        m_bMouseOnButton = TRUE;
        update();
    }
}

void CCeButtonST::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    TimerProc();
}

void CCeButtonST::onClicked()
{
    if (isCheckable()) {
        ZuNotifyParent(this, BN_CLICKED);
        return;
    }
    if (!m_url.IsEmpty()) {
        ZuShellOpen(m_url);
        ZuNotifyParent(this, BN_CLICKED);
        return;
    }
    if (HasMenu()) {
        PopMenu();
        return;
    }
    ZuNotifyParent(this, BN_CLICKED);
}

const QImage& CCeButtonST::currentImage(BOOL pressed) const
{
    if (!m_images[1].isNull() && !pressed)
        return m_images[1];
    return m_images[0];
}

void CCeButtonST::PrepareImageRect(BOOL hasTitle, QRect* item, QRect* title, BOOL pressed, int imageWidth,
                                   int imageHeight, QRect* image) const
{
    const QRect r = *item;
    QRect t = title ? *title : r;
    int x = r.left() + (r.width() - imageWidth) / 2;
    int y = r.top() + (r.height() - imageHeight) / 2;
    if (hasTitle) {
        switch (m_byAlign) {
        case ST_ALIGN_HORIZ:
            x = r.left() + 3;
            t.setLeft(x + imageWidth + 3);
            break;
        case ST_ALIGN_HORIZ_RIGHT:
            x = r.right() - imageWidth - 2;
            t.setRight(x - 3);
            break;
        case ST_ALIGN_VERT:
            y = r.top() + 3;
            t.setTop(y + imageHeight + 2);
            break;
        default:  // ST_ALIGN_OVERLAP: the text over the centred image
            break;
        }
    }
    // A raised button's content moves with the press; a flat one stays where it is.
    if (pressed && !m_bIsFlat) {
        ++x;
        ++y;
        t.translate(1, 1);
    }
    if (title)
        *title = t;
    *image = QRect(x, y, imageWidth, imageHeight);
}

void CCeButtonST::DrawTheIcon(QPainter& painter, BOOL hasTitle, const QRect& item, QRect* title, BOOL pressed, BOOL disabled)
{
    DrawTheBitmap(painter, hasTitle, item, title, pressed, disabled);
}

void CCeButtonST::DrawTheBitmap(QPainter& painter, BOOL hasTitle, const QRect& item, QRect* title, BOOL pressed, BOOL disabled)
{
    const QImage& img = currentImage(pressed);
    if (img.isNull())
        return;
    QRect r = item;
    QRect target;
    // Laid out at the bitmap's own size: a 2x bitmap covers as much of the button as a 1x one.
    const QSize size = img.deviceIndependentSize().toSize();
    PrepareImageRect(hasTitle, &r, title, pressed, size.width(), size.height(), &target);
    // On a screen scaled by other than the bitmap's ratio (1.5), the image is resampled smoothly.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (disabled)
        painter.setOpacity(0.4);
    painter.drawImage(target.topLeft(), img);
    painter.restore();
}

DWORD CCeButtonST::OnDrawBackground(QPainter& painter, const QRect& rect)
{
    if (m_bIsFlat)
        return BTNST_OK;  // the parent shows through
    COLORREF c = m_crColors[BTNST_COLOR_BK_OUT];
    if (m_bIsPressed)
        c = m_crColors[BTNST_COLOR_BK_IN];
    else if (m_bIsFocused)
        c = m_crColors[BTNST_COLOR_BK_FOCUS];
    painter.fillRect(rect, toColor(c));
    return BTNST_OK;
}

DWORD CCeButtonST::OnDrawBorder(QPainter& painter, const QRect& rect)
{
    const QRect r = rect.adjusted(0, 0, -1, -1);
    if (m_bIsPressed)
        drawEdge(painter, r, true);
    else if (!m_bIsFlat || (m_bMouseOnButton && m_bAlwaysTrack))
        drawEdge(painter, r, false);
    return BTNST_OK;
}

void CCeButtonST::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_bIsPressed = (isDown() || GetCheck()) ? TRUE : FALSE;
    m_bIsFocused = hasFocus() ? TRUE : FALSE;
    const QRect item = rect();
    OnDrawBackground(painter, item);
    if (m_bDrawBorder)
        OnDrawBorder(painter, item);

    const QString title = text();
    QRect titleRect = item;
    if (m_bImagesAreIcons)
        DrawTheIcon(painter, !title.isEmpty(), item, &titleRect, m_bIsPressed, !isEnabled());
    else
        DrawTheBitmap(painter, !title.isEmpty(), item, &titleRect, m_bIsPressed, !isEnabled());

    if (!title.isEmpty()) {
        COLORREF fg = m_bIsPressed ? m_crColors[BTNST_COLOR_FG_IN] : m_crColors[BTNST_COLOR_FG_OUT];
        if (m_bIsFocused && !m_bIsPressed)
            fg = m_crColors[BTNST_COLOR_FG_FOCUS];
        painter.setPen(isEnabled() ? toColor(fg) : toColor(ZuSysColor(ZU_COLOR_GRAYTEXT)));
        painter.setFont(font());
        painter.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine, title);
    }
    if (m_bIsFocused && m_bDrawFlatFocus) {
        painter.setPen(QPen(toColor(ZuSysColor(ZU_COLOR_WINDOWTEXT)), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.adjusted(2, 2, -3, -3));
    }
}
