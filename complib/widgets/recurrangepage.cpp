#include "recurrangepage.h"

#include "recurcontrols_p.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QLabel>
#include <QRadioButton>

using namespace zurecur;

namespace {

CZUDateTimeCtrl* MakePicker(QWidget* parent, UINT id, const QRect& at)
{
    auto* picker = new CZUDateTimeCtrl(parent, id);
    picker->setGeometry(at);
    picker->SetOwnerDrawText(TRUE);
    picker->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    picker->SetDrawLine(TRUE);
    return picker;
}

// The pickers show their dates as "yyyy-MM-dd".
void ShowDate(CZUDateTimeCtrl* picker, QDate date)
{
    if (!date.isValid())
        return;
    picker->SetDate(date);
    picker->SetText(CString::fromQString(date.toString(QStringLiteral("yyyy-MM-dd"))));
}

} // namespace

CRecurRangePage::CRecurRangePage(CRecurrencePattern* pattern, QWidget* parent) : QWidget(parent), m_pattern(pattern)
{
    setObjectName(QString::number(IDD_RECUR_RANGE));
    setGeometry(0, 0, kWidth, kHeight);
    QPalette pal = palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    setPalette(pal);
    setAutoFillBackground(true);

    MakeLabel(this, kRangeTitle, QRect(7, 4, 228, 20));
    MakeLabel(this, kPatternStart, QRect(7, 30, 80, 21));
    m_start = MakePicker(this, IDC_START_DATE, QRect(90, 30, 100, 21));
    MakeLabel(this, kPatternEnd, QRect(7, 58, 200, 20));
    m_radios[0] = MakeRadio(this, IDC_NO_END, kNoEnd, QRect(14, 82, 150, 20));
    m_radios[1] = MakeRadio(this, IDC_END_BY_DATE, L"", QRect(14, 108, 20, 20));
    m_end = MakePicker(this, IDC_END_DATE, QRect(36, 107, 100, 21));
    MakeLabel(this, kEndOnDate, QRect(142, 107, 90, 21));
    m_radios[2] = MakeRadio(this, IDC_END_BY_COUNT, L"", QRect(14, 134, 20, 20));
    m_count = MakeList(this, IDC_COUNT_LIST, QRect(36, 133, 56, 22), kCounts, true);
    ShowNumber(m_count, kDefaultCount);
    MakeLabel(this, kEndAfterCount, QRect(98, 133, 130, 22));
    m_description = MakeDescription(this, QRect(7, 162, 226, 54));

    for (UINT type = 0; type < 3; ++type)
        connect(m_radios[type], &QRadioButton::clicked, this, [this, type] { SetEndType(type); });
    connect(m_count, &QComboBox::currentTextChanged, this, [this] {
        if (m_filling)
            return;
        m_endType = 2;
        ShowEndType();
        WriteIntoPattern();
    });
    connect(m_start, &CZUDateTimeCtrl::dateChanged, this, [this](QDate d) { OnStartChanged(d); });
    connect(m_end, &CZUDateTimeCtrl::dateChanged, this, [this](QDate d) { OnEndChanged(d); });
    FillFromPattern();
}

long CRecurRangePage::Count() const { return DecimalValue(m_count->currentText()); }
QDate CRecurRangePage::StartDate() const { return m_start->GetDate(); }
QDate CRecurRangePage::EndDate() const { return m_end->GetDate(); }
CString CRecurRangePage::Description() const { return CString::fromQString(m_description->text()); }

void CRecurRangePage::ShowEndType()
{
    for (UINT type = 0; type < 3; ++type)
        m_radios[type]->setChecked(type == m_endType);
}

void CRecurRangePage::SetEndType(UINT type)
{
    m_endType = type;
    if (m_pattern)
        m_pattern->SetEndDateType(type);
    ShowEndType();
    WriteIntoPattern();
}

void CRecurRangePage::OnStartChanged(QDate date)
{
    ShowDate(m_start, date);
    if (m_end->GetDate() < date)
        ShowDate(m_end, date);
    WriteIntoPattern();
}

void CRecurRangePage::OnEndChanged(QDate date)
{
    ShowDate(m_end, date);
    m_endType = 1;
    if (date < m_start->GetDate())
        ShowDate(m_start, date);
    ShowEndType();
    WriteIntoPattern();
}

int CRecurRangePage::FillFromPattern()
{
    if (!m_pattern)
        return 0;
    m_filling = true;
    const QDate start = PatternStartDate(*m_pattern);
    ShowDate(m_start, start);
    m_endType = m_pattern->GetEndDateType();
    long count = kDefaultCount;
    QDate end;
    FILETIME ft{};
    if (m_endType == 0) {
        if (m_pattern->GetPatternEndDate(&ft, kDefaultCount))
            end = DateOfFileTime(ft);
    } else {
        long stored = 0;
        if (m_pattern->get_Occurrences(&stored))
            count = stored;
        if (m_pattern->get_PatternEndDate(&ft))
            end = DateOfFileTime(ft);
    }
    // A 10th time on a date that does not exist (the 31st of a short month) has no date to show.
    if (!end.isValid() || end < start)
        end = start;
    ShowDate(m_end, end);
    ShowNumber(m_count, count);
    ShowEndType();
    m_filling = false;
    return WriteIntoPattern();
}

int CRecurRangePage::WriteIntoPattern()
{
    if (!m_pattern)
        return 0;
    m_pattern->put_PatternStartDate(FileTimeOfDate(m_start->GetDate()));
    if (m_endType == 1)
        m_pattern->put_PatternEndDate(FileTimeOfDate(m_end->GetDate()));
    else if (m_endType == 2)
        m_pattern->put_Occurrences(Count());
    else
        m_pattern->SetEndDateType(0);
    CString text;
    if (!m_pattern->RecurPatternToStr(text))
        text = CString();
    m_description->setText(text.toQString());
    return 1;
}
