#include "zudatetimectrl.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QLocale>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

} // namespace

CZUDateTimeCtrl::CZUDateTimeCtrl(QWidget* parent, UINT id) : QWidget(parent), m_date(QDate::currentDate())
{
    if (id)
        setObjectName(QString::number(id));
    setFocusPolicy(Qt::StrongFocus);
    CreateDefaultFont();
    GetBaseInformation();
}

CZUDateTimeCtrl::~CZUDateTimeCtrl()
{
    delete m_popup.data();
}

void CZUDateTimeCtrl::SetDate(QDate date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    update();
}

void CZUDateTimeCtrl::SetText(const CString& text)
{
    m_text = text;
    update();
}

void CZUDateTimeCtrl::SetOwnerDrawText(BOOL on)
{
    m_ownerDraw = on ? TRUE : FALSE;
    update();
}

void CZUDateTimeCtrl::SetBkColor(COLORREF c)
{
    m_clrBk = c;
    update();
}

void CZUDateTimeCtrl::SetTextColor(COLORREF c)
{
    m_clrText = c;
    update();
}

void CZUDateTimeCtrl::SetFontName(const CString& name)
{
    m_fontName = name;
    ReconstructFont();
}

void CZUDateTimeCtrl::SetFontSize(int height)
{
    if (height <= 0)
        return;
    m_fontSize = height;
    ReconstructFont();
}

void CZUDateTimeCtrl::SetFontBold(BOOL on)
{
    m_bold = on ? TRUE : FALSE;
    ReconstructFont();
}

void CZUDateTimeCtrl::SetFontItalic(BOOL on)
{
    m_italic = on ? TRUE : FALSE;
    ReconstructFont();
}

void CZUDateTimeCtrl::SetFontUnderline(BOOL on)
{
    m_underline = on ? TRUE : FALSE;
    ReconstructFont();
}

void CZUDateTimeCtrl::SetDrawLine(BOOL on, COLORREF color)
{
    m_drawLine = on ? TRUE : FALSE;
    m_clrLine = color;
    update();
}

void CZUDateTimeCtrl::CreateDefaultFont()
{
    m_fontName = L"Tahoma";
    m_fontSize = 13;
    m_bold = m_italic = m_underline = FALSE;
    ReconstructFont();
}

void CZUDateTimeCtrl::ReconstructFont()
{
    QFont f(m_fontName.toQString());
    f.setPixelSize(m_fontSize);
    f.setWeight(static_cast<QFont::Weight>(m_bold ? kBoldWeight : kNormalWeight));
    f.setItalic(m_italic);
    f.setUnderline(m_underline);
    m_font = f;
    setFont(f);
    update();
}

CString CZUDateTimeCtrl::CalendarTypeName(int type)
{
    static const wchar_t* const names[] = {
        L"Gregorian - Localized",
        L"Gregorian - English strings always",
        L"Year of the Emperor - Japan",
        L"Year of Taiwan",
        L"Tangun Era - Korea",
        L"Hijri - Arabic lunar",
        L"Thai",
        L"Hebrew - Lunar",
        L"Gregorian Middle East French",
        L"Gregorian Arabic",
        L"Gregorian Transliterated English",
        L"Gregorian Transliterated French",
    };
    if (type < 1 || type > 12)
        return CString(L"Unknown");
    return CString(names[type - 1]);
}

void CZUDateTimeCtrl::GetBaseInformation()
{
    const QLocale locale = QLocale::system();
    ZuDateFormatInfo info;
    // Text on this system is Unicode throughout: both code pages are UTF-8's.
    info.ansiCodePage = 65001;
    info.oemCodePage = 65001;
    info.language = CString::fromQString(QLocale::languageToString(locale.language()));
    info.country = CString::fromQString(QLocale::territoryToString(locale.territory()));
    info.timeFormat = CString::fromQString(locale.timeFormat(QLocale::LongFormat));
    info.longDateFormat = CString::fromQString(locale.dateFormat(QLocale::LongFormat));
    info.currency = CString::fromQString(locale.currencySymbol());
    const QString tf = locale.timeFormat(QLocale::ShortFormat);
    const bool twelve = tf.contains(QLatin1Char('a'), Qt::CaseInsensitive);
    info.timeType = twelve ? CString(L"AM / PM 12-hour format") : CString(L"24-hour format");
    info.calendarType = CalendarTypeName(1);  // the Gregorian calendar, localised
    m_info = info;
}

void CZUDateTimeCtrl::RefreshDateFormat()
{
    GetBaseInformation();
    update();
}

void CZUDateTimeCtrl::DrawLine(QPainter* painter)
{
    if (!painter || !m_drawLine)
        return;
    painter->setPen(qcolor(m_clrLine));
    const int y = height() - 1;
    painter->drawLine(0, y, width() - 1, y);
}

void CZUDateTimeCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), qcolor(m_clrBk));
    painter.setFont(m_font);
    painter.setPen(qcolor(m_clrText));
    if (m_ownerDraw) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_text.toQString());
    } else {
        const QString text = m_format.IsEmpty() ? QLocale::system().toString(m_date, QLocale::ShortFormat)
                                                : m_date.toString(m_format.toQString());
        const QRect textRect = rect().adjusted(2, 0, -14, 0);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        // The drop-down mark at the right.
        const int cx = width() - 7, cy = height() / 2;
        const QPoint arrow[3] = {QPoint(cx - 4, cy - 2), QPoint(cx + 4, cy - 2), QPoint(cx, cy + 2)};
        painter.setBrush(qcolor(m_clrText));
        painter.drawPolygon(arrow, 3);
    }
    DrawLine(&painter);
}

void CZUDateTimeCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    event->accept();
    ShowCalendar();
}

void CZUDateTimeCtrl::keyPressEvent(QKeyEvent* event)
{
    const bool open = event->key() == Qt::Key_Space || event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (!open)
        return QWidget::keyPressEvent(event);
    event->accept();
    ShowCalendar();
}

void CZUDateTimeCtrl::ShowCalendar()
{
    if (!m_popup) {
        m_popup = new QCalendarWidget(nullptr);
        m_popup->setWindowFlags(Qt::Popup);
        m_popup->setObjectName(QStringLiteral("calendar"));
        connect(m_popup, &QCalendarWidget::clicked, this, &CZUDateTimeCtrl::pick);
        connect(m_popup, &QCalendarWidget::activated, this, &CZUDateTimeCtrl::pick);
    }
    m_popup->setSelectedDate(m_date);
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_popup->setFocus();
}

void CZUDateTimeCtrl::pick(QDate date)
{
    if (!m_popup || !m_popup->isVisible())
        return;  // one pick per opening: a click that also activates reports once
    m_popup->hide();
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    update();
    emit dateChanged(date);
    if (QObject* target = parent()) {
        const WPARAM wParam = MAKELONG(static_cast<WORD>(objectName().toUInt()), DTN_ZU_DATECHANGED);
        ZuMessageEvent ev(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(this));
        QCoreApplication::sendEvent(target, &ev);
    }
}
