#include "cetoolbar.h"

#include "controlnotify.h"
#include "syscolors.h"
#include "windowmessage.h"
#include "zufont.h"
#include "zuimagelist.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kBarHeight = 26;
constexpr int kMinButtonWidth = 24;
constexpr int kPadding = 8;
constexpr int kArrowWidth = 8;

QColor colour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

}  // namespace

CEToolBar::CEToolBar(QWidget* parent, UINT id)
    : QWidget(parent), m_clrBk(ZuSysColor(ZU_COLOR_BTNFACE))
{
    ZuSetControlId(this, id);
    setFont(ZuFont(L"Tahoma", 14, FW_NORMAL));
    resize(sizeHint());
}

int CEToolBar::Append(Button b)
{
    m_buttons.push_back(std::move(b));
    Changed();
    return GetButtonCount() - 1;
}

int CEToolBar::AddButton(UINT id, int image, BYTE style, int width, const CString& text)
{
    Button b;
    b.id = id;
    b.image = image;
    b.style = style;
    b.width = width < 0 ? 0 : width;
    b.text = text;
    return Append(std::move(b));
}

int CEToolBar::AddSeparator(int width)
{
    Button b;
    b.style = TBSTYLE_SEP;
    b.width = width < 0 ? 0 : width;
    return Append(std::move(b));
}

int CEToolBar::AddMenuButton(UINT id, const CString& text, std::vector<ZuMenuEntry> entries, int width, int image)
{
    Button b;
    b.id = id;
    b.image = image;
    b.text = text;
    b.width = width < 0 ? 0 : width;
    b.menu = true;
    b.entries = std::move(entries);
    return Append(std::move(b));
}

int CEToolBar::DeleteButton(int index)
{
    if (index < 0 || index >= GetButtonCount())
        return 0;
    m_buttons.erase(m_buttons.begin() + index);
    m_pressed = -1;
    Changed();
    return 1;
}

void CEToolBar::RemoveAll()
{
    m_buttons.clear();
    m_pressed = -1;
    Changed();
}

UINT CEToolBar::GetItemID(int index) const
{
    return index >= 0 && index < GetButtonCount() ? m_buttons[static_cast<size_t>(index)].id : 0;
}

int CEToolBar::CommandToIndex(UINT id) const
{
    for (int i = 0; i < GetButtonCount(); ++i)
        if (m_buttons[static_cast<size_t>(i)].style != TBSTYLE_SEP && m_buttons[static_cast<size_t>(i)].id == id)
            return i;
    return -1;
}

int CEToolBar::ButtonWidth(const Button& b) const
{
    if (b.state & TBSTATE_HIDDEN)
        return 0;
    if (b.width > 0 || b.style == TBSTYLE_SEP)
        return b.width;
    int w = 0;
    if (m_images && b.image >= 0)
        w += m_images->GetImageSize().width();
    if (!b.text.IsEmpty())
        w += (w > 0 ? 2 : 0) + QFontMetrics(font()).horizontalAdvance(b.text.toQString());
    if (b.style == TBSTYLE_DROPDOWN)
        w += kArrowWidth;
    return std::max(kMinButtonWidth, w + kPadding);
}

QRect CEToolBar::GetItemRect(int index) const
{
    if (index < 0 || index >= GetButtonCount())
        return QRect();
    int x = 0;
    for (int i = 0; i < index; ++i)
        x += ButtonWidth(m_buttons[static_cast<size_t>(i)]);
    return QRect(x, 0, ButtonWidth(m_buttons[static_cast<size_t>(index)]), height());
}

BOOL CEToolBar::SetButtonWidth(int index, int width)
{
    if (index < 0 || index >= GetButtonCount() || width < 0)
        return FALSE;
    m_buttons[static_cast<size_t>(index)].width = width;
    Changed();
    return TRUE;
}

BOOL CEToolBar::SetButtonText(UINT id, const CString& text)
{
    Button* b = Find(id);
    if (!b)
        return FALSE;
    b->text = text;
    Changed();
    return TRUE;
}

CString CEToolBar::GetButtonText(UINT id) const
{
    const Button* b = Find(id);
    return b ? b->text : CString();
}

int CEToolBar::HitTest(QPoint pt) const
{
    if (pt.y() < 0 || pt.y() >= height() || pt.x() < 0)
        return -1;
    int x = 0;
    for (int i = 0; i < GetButtonCount(); ++i) {
        const int w = ButtonWidth(m_buttons[static_cast<size_t>(i)]);
        if (pt.x() < x + w)
            return m_buttons[static_cast<size_t>(i)].style == TBSTYLE_SEP ? -1 : i;
        x += w;
    }
    return -1;
}

CEToolBar::Button* CEToolBar::Find(UINT id)
{
    const int i = CommandToIndex(id);
    return i < 0 ? nullptr : &m_buttons[static_cast<size_t>(i)];
}

const CEToolBar::Button* CEToolBar::Find(UINT id) const
{
    const int i = CommandToIndex(id);
    return i < 0 ? nullptr : &m_buttons[static_cast<size_t>(i)];
}

BOOL CEToolBar::SetState(UINT id, BYTE flag, BOOL on)
{
    Button* b = Find(id);
    if (!b)
        return FALSE;
    if (on)
        b->state |= flag;
    else
        b->state &= static_cast<BYTE>(~flag);
    if (flag == TBSTATE_HIDDEN)
        Changed();
    else
        update();
    return TRUE;
}

BOOL CEToolBar::CheckButton(UINT id, BOOL check) { return SetState(id, TBSTATE_CHECKED, check); }
BOOL CEToolBar::PressButton(UINT id, BOOL press) { return SetState(id, TBSTATE_PRESSED, press); }
BOOL CEToolBar::EnableButton(UINT id, BOOL enable) { return SetState(id, TBSTATE_ENABLED, enable); }
BOOL CEToolBar::HideButton(UINT id, BOOL hide) { return SetState(id, TBSTATE_HIDDEN, hide); }

BOOL CEToolBar::IsButtonChecked(UINT id) const
{
    const Button* b = Find(id);
    return b && (b->state & TBSTATE_CHECKED) ? TRUE : FALSE;
}

BOOL CEToolBar::IsButtonPressed(UINT id) const
{
    const Button* b = Find(id);
    return b && (b->state & TBSTATE_PRESSED) ? TRUE : FALSE;
}

BOOL CEToolBar::IsButtonEnabled(UINT id) const
{
    const Button* b = Find(id);
    return b && (b->state & TBSTATE_ENABLED) ? TRUE : FALSE;
}

void CEToolBar::SetImageList(const CZuImageList* images)
{
    m_images = images;
    Changed();
}

COLORREF CEToolBar::SetBkColor(COLORREF c)
{
    const COLORREF old = m_clrBk;
    m_clrBk = c;
    update();
    return old;
}

void CEToolBar::SetFontBold(BOOL bold)
{
    m_bold = bold ? TRUE : FALSE;
    setFont(ZuFont(L"Tahoma", 14, m_bold ? FW_BOLD : FW_NORMAL));
    Changed();
}

QSize CEToolBar::sizeHint() const
{
    int w = 0;
    for (const Button& b : m_buttons)
        w += ButtonWidth(b);
    return QSize(w, kBarHeight);
}

void CEToolBar::Changed()
{
    updateGeometry();
    update();
    OnLayoutChanged();
}

LRESULT CEToolBar::SendCommand(UINT id)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return 0;
    ZuMessageEvent event(WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(this));
    QCoreApplication::sendEvent(parent, &event);
    return event.result();
}

void CEToolBar::OnButtonClicked(int index)
{
    const Button& b = m_buttons[static_cast<size_t>(index)];
    if (!b.menu) {
        SendCommand(b.id);
        return;
    }
    // The menu opens just above the button (the bars sit at the bottom of the screen); the
    // entries are copied, as the choice may change the bar.
    const std::vector<ZuMenuEntry> entries = b.entries;
    const UINT chosen = ZuPopupMenu(this, entries, mapToGlobal(GetItemRect(index).topLeft()), ZuMenuAnchor::BottomLeft);
    if (chosen != 0)
        SendCommand(chosen);
}

void CEToolBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int i = HitTest(event->position().toPoint());
    if (i < 0 || !(m_buttons[static_cast<size_t>(i)].state & TBSTATE_ENABLED))
        return;
    m_pressed = i;
    m_buttons[static_cast<size_t>(i)].state |= TBSTATE_PRESSED;
    update();
}

void CEToolBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressed < 0)
        return QWidget::mouseReleaseEvent(event);
    const int i = m_pressed;
    m_pressed = -1;
    Button& b = m_buttons[static_cast<size_t>(i)];
    b.state &= static_cast<BYTE>(~TBSTATE_PRESSED);
    update();
    if (HitTest(event->position().toPoint()) != i)
        return;
    if (b.style == TBSTYLE_CHECK)
        b.state ^= TBSTATE_CHECKED;
    OnButtonClicked(i);
    emit buttonClicked(i);
}

void CEToolBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colour(m_clrBk));
    p.setFont(font());
    for (int i = 0; i < GetButtonCount(); ++i) {
        const Button& b = m_buttons[static_cast<size_t>(i)];
        const QRect r = GetItemRect(i);
        if (b.style == TBSTYLE_SEP || r.width() <= 0)
            continue;
        if (b.state & (TBSTATE_CHECKED | TBSTATE_PRESSED)) {
            // The outer pixel stays in the background colour; the sunken edge sits inside it.
            const QRect edge = r.adjusted(1, 1, -1, -1);
            p.setPen(colour(ZuSysColor(ZU_COLOR_BTNSHADOW)));
            p.drawLine(edge.topLeft(), edge.topRight());
            p.drawLine(edge.topLeft(), edge.bottomLeft());
            p.setPen(colour(ZuSysColor(ZU_COLOR_BTNHIGHLIGHT)));
            p.drawLine(edge.bottomLeft() + QPoint(1, 0), edge.bottomRight());
            p.drawLine(edge.topRight() + QPoint(0, 1), edge.bottomRight());
        }
        QRect content = r;
        if (b.style == TBSTYLE_DROPDOWN) {
            const QRect arrow(r.right() - kArrowWidth, r.center().y() - 1, kArrowWidth - 2, 3);
            p.setPen(Qt::NoPen);
            p.setBrush(colour(ZuSysColor(ZU_COLOR_BTNTEXT)));
            p.drawPolygon(QPolygon({arrow.topLeft(), arrow.topRight(), QPoint(arrow.center().x(), arrow.bottom())}));
            content.setRight(r.right() - kArrowWidth);
        }
        const bool hasImage = m_images && b.image >= 0 && b.image < m_images->GetImageCount();
        const QString text = b.text.toQString();
        const QSize is = hasImage ? m_images->GetImageSize() : QSize();
        const int textWidth = text.isEmpty() ? 0 : QFontMetrics(font()).horizontalAdvance(text);
        const int total = is.width() + (hasImage && textWidth ? 2 : 0) + textWidth;
        int x = content.left() + (content.width() - total) / 2;
        if (hasImage) {
            m_images->Draw(&p, b.image, QPoint(x, content.top() + (content.height() - is.height()) / 2));
            x += is.width() + (textWidth ? 2 : 0);
        }
        if (!text.isEmpty()) {
            const bool enabled = b.state & TBSTATE_ENABLED;
            p.setPen(colour(ZuSysColor(enabled ? ZU_COLOR_BTNTEXT : ZU_COLOR_GRAYTEXT)));
            p.drawText(QRect(x, content.top(), textWidth, content.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
}
