#include "bmpbutton.h"

#include "bitmap.h"
#include "controlnotify.h"

#include <QPainter>

CBmpButton::CBmpButton(QWidget* parent, UINT id) : QAbstractButton(parent)
{
    ZuSetControlId(this, id);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { ZuNotifyParent(this, BN_CLICKED); });
}

BOOL CBmpButton::LoadButtonBitmaps(UINT upId, UINT downId, UINT focusId, UINT disabledId, ZuModule module)
{
    auto load = [module](UINT id) { return id ? ZuLoadBitmap(id, module) : QPixmap(); };
    return LoadButtonBitmaps(load(upId), load(downId), load(focusId), load(disabledId));
}

BOOL CBmpButton::LoadButtonBitmaps(const QPixmap& up, const QPixmap& down, const QPixmap& focus, const QPixmap& disabled)
{
    if (up.isNull())
        return FALSE;
    m_up = up;
    m_down = down;
    m_focus = focus;
    m_disabled = disabled;
    resize(up.deviceIndependentSize().toSize());
    update();
    return TRUE;
}

void CBmpButton::ResetButton()
{
    setDown(false);
    update();
}

QSize CBmpButton::sizeHint() const
{
    return m_up.isNull() ? QSize(16, 16) : m_up.deviceIndependentSize().toSize();
}

void CBmpButton::paintEvent(QPaintEvent*)
{
    const QPixmap* pix = &m_up;
    if (!isEnabled() && !m_disabled.isNull())
        pix = &m_disabled;
    else if (isDown() && !m_down.isNull())
        pix = &m_down;
    else if (hasFocus() && !m_focus.isNull())
        pix = &m_focus;
    if (pix->isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, *pix);
}
