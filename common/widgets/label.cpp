#include "label.h"

#include "controlnotify.h"
#include "syscolors.h"
#include "textutil.h"
#include "zufont.h"

#include <QFontMetrics>
#include <algorithm>
#include <cstdlib>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {
QColor toColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
}  // namespace

CLabel::CLabel(QWidget* parent, UINT id)
    : QWidget(parent),
      m_crText(ZuSysColor(ZU_COLOR_WINDOWTEXT)),
      m_crBack(ZuSysColor(ZU_COLOR_BTNFACE)),
      m_crHilite(ZuSysColor(ZU_COLOR_BTNHIGHLIGHT)),
      m_font(ZuFont(L"Tahoma", 12, FW_NORMAL))
{
    ZuSetControlId(this, id);
}

CLabel::~CLabel() = default;

CLabel& CLabel::SetText(const wchar_t* text)
{
    m_text = CString(text);
    fitToText();
    update();
    return *this;
}

CLabel& CLabel::SetTextColor(COLORREF color)
{
    m_crText = color;
    update();
    return *this;
}

CLabel& CLabel::SetBkColor(COLORREF color, COLORREF highColor, BackFillMode mode)
{
    m_crBack = color;
    m_crBackHigh = highColor;
    m_fillMode = mode;
    update();
    return *this;
}

CLabel& CLabel::SetFontBold(BOOL on)
{
    m_font.setWeight(on ? QFont::Bold : QFont::Normal);
    fitToText();
    update();
    return *this;
}

CLabel& CLabel::SetFontItalic(BOOL on)
{
    m_font.setItalic(on != 0);
    update();
    return *this;
}

CLabel& CLabel::SetFontUnderline(BOOL on)
{
    m_font.setUnderline(on != 0);
    update();
    return *this;
}

CLabel& CLabel::SetFontName(const wchar_t* face)
{
    m_font.setFamily(ZuFontFamily(QString::fromWCharArray(face ? face : L"")));
    fitToText();
    update();
    return *this;
}

CLabel& CLabel::SetFontSize(int height)
{
    m_font.setPixelSize(std::max(1, std::abs(height)));
    fitToText();
    update();
    return *this;
}

CLabel& CLabel::SetFont(const LOGFONT& lf) { return SetFont(ZuFontFromLogFont(lf)); }

CLabel& CLabel::SetFont(const QFont& font)
{
    m_font = font;
    fitToText();
    update();
    return *this;
}

CLabel& CLabel::SetFont3D(BOOL on, BOOL raised)
{
    m_b3D = on;
    m_b3DRaised = raised;
    update();
    return *this;
}

CLabel& CLabel::SetText3DHiliteColor(COLORREF color)
{
    m_crHilite = color;
    update();
    return *this;
}

CLabel& CLabel::SetSunken(BOOL on)
{
    m_bSunken = on;
    update();
    return *this;
}

CLabel& CLabel::SetBorder(BOOL on)
{
    m_bBorder = on;
    update();
    return *this;
}

CLabel& CLabel::SetTransparent(BOOL on)
{
    m_bTransparent = on;
    update();
    return *this;
}

CLabel& CLabel::SetLink(BOOL link, BOOL notifyParent, const wchar_t* url)
{
    m_bLink = link;
    m_bNotifyParent = notifyParent;
    m_url = CString(url);
    m_font.setUnderline(link != 0);
    if (link)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    update();
    return *this;
}

CLabel& CLabel::SetLinkCursor(Qt::CursorShape cursor)
{
    if (m_bLink)
        setCursor(cursor);
    return *this;
}

CLabel& CLabel::SetRotationAngle(int tenths)
{
    m_nAngle = tenths;
    update();
    return *this;
}

CLabel& CLabel::SetTextAlign(int align)
{
    if (align >= LABEL_ALIGN_LEFT && align <= LABEL_ALIGN_RIGHT)
        m_nAlign = align;
    update();
    return *this;
}

CLabel& CLabel::SetWordBreak(BOOL on)
{
    m_bWordBreak = on;
    update();
    return *this;
}

CLabel& CLabel::SetAutoResize(BOOL on)
{
    m_bAutoResize = on;
    fitToText();
    return *this;
}

CLabel& CLabel::SetTextOffset(int x, int y)
{
    m_offset = QPoint(x, y);
    update();
    return *this;
}

QString CLabel::displayText() const
{
    QString t = m_text.toQString();
    t.remove(QLatin1Char('\r'));
    return t;
}

int CLabel::textFlags() const
{
    int flags = Qt::AlignTop;
    flags |= m_nAlign == LABEL_ALIGN_CENTER ? Qt::AlignHCenter : m_nAlign == LABEL_ALIGN_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
    if (m_bWordBreak)
        flags |= Qt::TextWordWrap;
    return flags;
}

int CLabel::GetTextHeight() const { return QFontMetrics(m_font).height(); }

QSize CLabel::GetTextSize() const
{
    return QFontMetrics(m_font).boundingRect(QRect(0, 0, 10000, 10000), textFlags() & ~Qt::TextWordWrap, displayText()).size();
}

void CLabel::fitToText()
{
    if (m_bAutoResize)
        resize(GetTextSize() + QSize(m_offset.x() + 4, m_offset.y() + 4));
}

CLabel& CLabel::FlashText(BOOL on)
{
    m_bFlashText = on;
    if (!on)
        m_textHidden = false;  // a stop never leaves the text hidden
    updateFlashTimer();
    update();
    return *this;
}

CLabel& CLabel::FlashBackground(BOOL on)
{
    m_bFlashBack = on;
    if (!on)
        m_backHidden = false;
    updateFlashTimer();
    update();
    return *this;
}

void CLabel::updateFlashTimer()
{
    if (m_bFlashText || m_bFlashBack) {
        if (!m_flashTimer.isActive())
            m_flashTimer.start(kFlashPeriodMs, this);
    } else {
        m_flashTimer.stop();
    }
}

void CLabel::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_flashTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_bFlashText)
        m_textHidden = !m_textHidden;
    if (m_bFlashBack)
        m_backHidden = !m_backHidden;
    update();
}

void CLabel::DrawGradientFill(QPainter& painter, const QRect& rect, COLORREF start, COLORREF end, int steps)
{
    ::DrawGradientFill(&painter, &rect, start, end, steps);
}

void CLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void CLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (!click)
        return;
    if (m_bLink && !m_bNotifyParent) {
        ZuShellOpen(m_url.IsEmpty() ? m_text : m_url);
        return;
    }
    ZuNotifyParent(this, STN_CLICKED);
}

void CLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = rect();
    if (!m_bTransparent && !m_backHidden) {
        if (m_fillMode == Gradient)
            DrawGradientFill(painter, client, m_crBack, m_crBackHigh, 100);
        else
            painter.fillRect(client, toColor(m_crBack));
    }

    QRect inner = client;
    if (m_bBorder) {
        painter.setPen(toColor(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(client.adjusted(0, 0, -1, -1));
        inner.adjust(1, 1, -1, -1);
    }
    if (m_bSunken) {
        const QRect r = inner.adjusted(0, 0, -1, -1);
        painter.setPen(toColor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(toColor(ZuSysColor(ZU_COLOR_BTNHIGHLIGHT)));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        inner.adjust(1, 1, -1, -1);
    }

    if (m_textHidden || m_text.IsEmpty())
        return;
    painter.setFont(m_font);
    QRect textRect = inner.adjusted(m_offset.x(), m_offset.y(), 0, 0);
    if (m_nAngle != 0) {
        painter.translate(client.center());
        painter.rotate(-m_nAngle / 10.0);
        painter.translate(-client.center());
    }
    const QString t = displayText();
    const int flags = textFlags();
    if (m_b3D) {
        painter.setPen(toColor(m_crHilite));
        painter.drawText(textRect.translated(m_b3DRaised ? -1 : 1, m_b3DRaised ? -1 : 1), flags, t);
    }
    painter.setPen(toColor(m_crText));
    painter.drawText(textRect, flags, t);
}
