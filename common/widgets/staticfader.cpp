#include "staticfader.h"

#include "bitmap.h"
#include "controlnotify.h"
#include "syscolors.h"

#include <QPainter>
#include <QTimerEvent>

namespace {
QColor toColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr COLORREF kGreyText = RGB(0, 0, 60);
constexpr COLORREF kGreyBack = RGB(210, 210, 210);
}  // namespace

CStaticFader::CStaticFader(QWidget* parent, UINT id)
    : QWidget(parent),
      m_crBack(ZuSysColor(ZU_COLOR_WINDOW)),
      m_crMain(ZuSysColor(ZU_COLOR_WINDOWTEXT)),
      m_crSub(ZuSysColor(ZU_COLOR_WINDOWTEXT))
{
    ZuSetControlId(this, id);
    m_mainFont.SetBold(TRUE);
}

void CStaticFader::Initialise(COLORREF background, COLORREF mainText, COLORREF subText)
{
    m_crBack = background;
    m_crMain = mainText;
    m_crSub = subText;
    update();
}

void CStaticFader::SetBitmapID(UINT id, ZuModule module)
{
    m_bitmap = id ? ZuLoadBitmap(id, module) : QPixmap();
    update();
}

COLORREF CStaticFader::FadeColour(COLORREF from, COLORREF to, qint64 elapsedMs, int fadeMs)
{
    if (fadeMs <= 0 || elapsedMs >= fadeMs)
        return to;
    if (elapsedMs <= 0)
        return from;
    const qint64 steps = std::max<qint64>(1, fadeMs / kTickMs);
    const qint64 step = std::min(steps, elapsedMs / kTickMs);
    auto mix = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / steps); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)), mix(GetBValue(from), GetBValue(to)));
}

void CStaticFader::Display(const CString& mainText, const CString& subText, int fadeTime, bool greyScheme,
                           const CString& mainFont, const CString& subFont)
{
    m_main = mainText;
    m_sub = subText;
    if (greyScheme) {
        m_crMain = kGreyText;
        m_crSub = kGreyText;
        m_crBack = kGreyBack;
    }
    if (!mainFont.IsEmpty())
        m_mainFont.ExtractFont(mainFont);
    if (!subFont.IsEmpty())
        m_subFont.ExtractFont(subFont);
    m_fadeMs = fadeTime;
    m_clock.start();
    if (fadeTime > 0)
        m_timer.start(kTickMs, this);
    else
        m_timer.stop();
    update();
}

qint64 CStaticFader::elapsed() const { return m_clock.isValid() ? m_clock.elapsed() : m_fadeMs; }

void CStaticFader::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (elapsed() >= m_fadeMs)
        m_timer.stop();  // the paint this asks for draws the texts' own colours
    update();
}

void CStaticFader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect r = rect();
    painter.fillRect(r, toColor(m_crBack));
    if (m_border) {
        painter.setPen(toColor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (!m_bitmap.isNull()) {
        const QSize size = m_bitmap.deviceIndependentSize().toSize();
        painter.drawPixmap(r.left() + 2, r.top() + (r.height() - size.height()) / 2, m_bitmap);
        r.setLeft(r.left() + size.width() + 4);
    }
    // Once the timer has stopped the fade is over, whatever the clock says.
    const qint64 t = m_timer.isActive() ? elapsed() : std::max<qint64>(m_fadeMs, 0);
    const QRect upper(r.left(), r.top(), r.width(), r.height() / 2);
    const QRect lower(r.left(), r.top() + r.height() / 2, r.width(), r.height() - r.height() / 2);
    auto draw = [&](const CString& text, const CAutoFont& font, COLORREF target, const QRect& box) {
        if (text.IsEmpty())
            return;
        painter.setFont(font.GetFont());
        const int flags = static_cast<int>(m_align) | Qt::AlignVCenter;
        if (m_shadow) {
            painter.setPen(toColor(ZuSysColor(ZU_COLOR_BTNSHADOW)));
            painter.drawText(box.translated(1, 1), flags, text.toQString());
        }
        painter.setPen(toColor(FadeColour(m_crBack, target, t, m_fadeMs)));
        painter.drawText(box, flags, text.toQString());
    };
    draw(m_main, m_mainFont, m_crMain, upper);
    draw(m_sub, m_subFont, m_crSub, lower);
}
