#include "recurcontrols_p.h"
#include "recurtexts_p.h"

#include "filetime.h"
#include "oledatetime.h"
#include "recurrencepattern.h"
#include "stringtable.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"
#include "widgets/zufont.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <climits>

namespace zurecur {

FILETIME FileTimeOfDate(QDate date)
{
    FILETIME ft{};
    if (!date.isValid())
        return ft;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year());
    st.wMonth = static_cast<WORD>(date.month());
    st.wDay = static_cast<WORD>(date.day());
    st.wDayOfWeek = static_cast<WORD>(WeekdayOf(date));
    if (!SystemTimeToFileTime(&st, &ft))
        return FILETIME{};
    return ft;
}

QDate DateOfFileTime(const FILETIME& ft)
{
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&ft, &st))
        return QDate();
    return QDate(st.wYear, st.wMonth, st.wDay);
}

QDate PatternStartDate(const CRecurrencePattern& pattern)
{
    FILETIME ft{};
    if (pattern.get_PatternStartDate(&ft)) {
        const QDate d = DateOfFileTime(ft);
        if (d.isValid())
            return d;
    }
    const COleDateTime now = COleDateTime::GetCurrentTime();
    return QDate(now.GetYear(), now.GetMonth(), now.GetDay());
}

long DecimalValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return 0;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    return ok && v <= INT_MAX ? static_cast<long>(v) : 0;
}

CZUComboBox* MakeList(QWidget* parent, UINT id, const QRect& at, const QStringList& items, bool editable)
{
    auto* list = new CZUComboBox(parent, id);
    list->setEditable(editable);
    list->addItems(items);
    list->setMaxVisibleItems(8);
    list->setGeometry(at);
    if (editable) {
        list->setInsertPolicy(QComboBox::NoInsert);
        list->lineEdit()->setObjectName(QString::number(id) + QStringLiteral(".edit"));
    }
    return list;
}

CZUComboBox* MakeList(QWidget* parent, UINT id, const QRect& at, std::span<const wchar_t* const> items, bool editable)
{
    QStringList texts;
    for (const wchar_t* item : items)
        texts << QString::fromWCharArray(item);
    return MakeList(parent, id, at, texts, editable);
}

void ShowNumber(CZUComboBox* list, long value)
{
    const QString text = QString::number(value);
    const int i = list->findText(text, Qt::MatchStartsWith);
    if (i >= 0) {
        list->setCurrentIndex(i);
        if (list->isEditable())
            list->setEditText(list->itemText(i));
    } else if (list->isEditable()) {
        list->setCurrentIndex(-1);
        list->setEditText(text);
    }
}

QLabel* MakeLabel(QWidget* parent, const wchar_t* text, const QRect& at)
{
    auto* label = new QLabel(QString::fromWCharArray(text), parent);
    label->setGeometry(at);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QRadioButton* MakeRadio(QWidget* parent, UINT id, const wchar_t* text, const QRect& at)
{
    auto* radio = new QRadioButton(QString::fromWCharArray(text), parent);
    radio->setObjectName(QString::number(id));
    radio->setGeometry(at);
    radio->setAutoExclusive(false);
    return radio;
}

QLabel* MakeDescription(QWidget* parent, const QRect& at)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(IDC_DESCRIPTION));
    label->setGeometry(at);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(ZuFont(L"Tahoma", 12, FW_BOLD));
    QPalette pal = label->palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(pal);
    label->setAutoFillBackground(true);
    return label;
}

QStringList NumberTexts(int from, int to, const wchar_t* format)
{
    QStringList out;
    for (int i = from; i <= to; ++i) {
        if (format) {
            CString text;
            text.Format(format, i);
            out << text.toQString();
        } else {
            out << QString::number(i);
        }
    }
    return out;
}

QStringList TableTexts(UINT first, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << LoadText(first + static_cast<UINT>(i)).toQString();
    return out;
}

CString LoadText(UINT id) { return ZuLoadString(id, ZuModule::CompLib); }

int WeekdayOf(QDate date) { return date.dayOfWeek() % 7; }

int HighestDay(long mask)
{
    int day = 0;
    for (int d = 0; d < 7; ++d)
        if (mask & (1L << d))
            day = d;
    return day;
}

} // namespace zurecur
