#include "recurdialog.h"

#include "messagebox.h"
#include "recurcontrols_p.h"
#include "recurdetailpage.h"
#include "recurkindpage.h"
#include "recurrangepage.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "widgets/cebuttonst.h"
#include "widgets/syscolors.h"

using namespace zurecur;

CRecurDialog::CRecurDialog(const CRecurrencePattern* pattern, const COleDateTime& start, const COleDateTime& end,
                           int kind, int recurrenceKind, QWidget* parent)
    : QDialog(parent), m_start(start), m_end(end), m_kind(kind), m_recurrenceKind(recurrenceKind)
{
    if (pattern) {
        m_pattern = std::make_unique<CRecurrencePattern>(*pattern);
    } else {
        m_pattern = std::make_unique<CRecurrencePattern>(static_cast<UINT>(kind));
        InitRecurPattern(m_pattern.get());
    }

    setObjectName(QString::number(IDD_RECUR_DIALOG));
    setWindowTitle(QString::fromWCharArray(kDialogCaption));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    setPalette(pal);
    setAutoFillBackground(true);

    m_kindPage = new CRecurKindPage(m_pattern.get(), this);
    m_rangePage = new CRecurRangePage(m_pattern.get(), this);
    m_rangePage->hide();

    m_back = MakeButton(IDC_BACK, kBackX);
    m_next = MakeButton(IDC_NEXT, kNextX);
    m_finish = MakeButton(IDC_FINISH, kNextX);
    m_cancel = MakeButton(IDC_CANCEL, kCancelX);
    m_back->SetBitmaps(IDB_BACK_DIMMED, RGB(255, 255, 255), 0, RGB(255, 255, 255), ZuModule::CompLib);
    m_next->SetBitmaps(IDB_NEXT_PRESSED, RGB(255, 255, 255), IDB_NEXT, RGB(255, 255, 255), ZuModule::CompLib);
    m_finish->SetBitmaps(IDB_FINISH_PRESSED, RGB(255, 255, 255), IDB_FINISH, RGB(255, 255, 255), ZuModule::CompLib);
    m_cancel->SetBitmaps(IDB_CANCEL_PRESSED, RGB(255, 255, 255), IDB_CANCEL, RGB(255, 255, 255), ZuModule::CompLib);
    connect(m_back, &QAbstractButton::clicked, this, &CRecurDialog::OnBack);
    connect(m_next, &QAbstractButton::clicked, this, &CRecurDialog::OnNext);
    connect(m_finish, &QAbstractButton::clicked, this, &CRecurDialog::OnFinish);
    connect(m_cancel, &QAbstractButton::clicked, this, &CRecurDialog::OnCancel);

    m_back->setEnabled(false);
    m_finish->hide();
    m_kindPage->SelectKind(recurrenceKind >= 0 && recurrenceKind <= 3 ? recurrenceKind : 1);
}

CRecurDialog::~CRecurDialog() = default;

CCeButtonST* CRecurDialog::MakeButton(UINT id, int x)
{
    auto* button = new CCeButtonST(this, id);
    button->setGeometry(x, kButtonY, kButtonWidth, kButtonHeight);
    button->SetFlat(TRUE);
    button->DrawBorder(FALSE);
    button->SetAlwaysTrack(FALSE);
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    button->SetColor(CCeButtonST::BTNST_COLOR_BK_IN, window);
    button->SetColor(CCeButtonST::BTNST_COLOR_BK_OUT, window);
    button->SetColor(CCeButtonST::BTNST_COLOR_BK_FOCUS, window);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void CRecurDialog::InitRecurPattern(CRecurrencePattern* pattern) const
{
    if (!pattern)
        return;
    COleDateTime reference = COleDateTime::GetCurrentTime();
    if (m_start.GetStatus() == COleDateTime::valid)
        reference = m_start;
    else if (m_end.GetStatus() == COleDateTime::valid)
        reference = m_end;
    const QDate date(reference.GetYear(), reference.GetMonth(), reference.GetDay());
    pattern->put_RecurrenceType(1);
    pattern->put_PatternStartDate(FileTimeOfDate(date));
    pattern->put_DayOfMonth(date.day());
    pattern->put_MonthOfYear(date.month());
    pattern->put_DayOfWeekMask(1L << WeekdayOf(date));
    pattern->put_Instance((date.day() + 6) / 7);
    pattern->put_Interval(1);
    if (m_kind == 1) {
        if (m_start.GetStatus() == COleDateTime::valid)
            pattern->put_StartTime(m_start.GetHour() * 60 + m_start.GetMinute());
        if (m_end.GetStatus() == COleDateTime::valid)
            pattern->put_EndTime(m_end.GetHour() * 60 + m_end.GetMinute());
    }
}

std::unique_ptr<CRecurrencePattern> CRecurDialog::GetRecurrencePattern()
{
    if (!m_finished)
        return nullptr;
    m_kindPage->SetPattern(nullptr);
    m_rangePage->SetPattern(nullptr);
    return std::move(m_pattern);
}

void CRecurDialog::OnNext()
{
    if (m_step != 0)
        return;
    CRecurDetailPage* detail = m_kindPage->CurrentDetail();
    if (!detail || !detail->IntervalIsValid()) {
        MessageBox(this, kBadInterval, kDialogCaption, MB_OK);
        return;
    }
    if (!m_kindPage->WriteIntoPattern())
        return;
    m_back->SetBitmaps(IDB_BACK_PRESSED, RGB(255, 255, 255), IDB_BACK, RGB(255, 255, 255), ZuModule::CompLib);
    m_back->setEnabled(true);
    m_next->hide();
    m_finish->show();
    m_kindPage->hide();
    m_rangePage->FillFromPattern();
    m_rangePage->show();
    m_step = 1;
}

void CRecurDialog::OnBack()
{
    if (m_step != 1)
        return;
    m_back->SetBitmaps(IDB_BACK_DIMMED, RGB(255, 255, 255), 0, RGB(255, 255, 255), ZuModule::CompLib);
    m_back->setEnabled(false);
    m_finish->hide();
    m_next->show();
    m_rangePage->hide();
    m_kindPage->show();
    m_step = 0;
}

void CRecurDialog::OnFinish()
{
    if (m_step != 1)
        return;
    if (m_rangePage->EndType() == 2 && m_rangePage->Count() < 1) {
        MessageBox(this, kBadCount, kDialogCaption, MB_OK);
        return;
    }
    m_rangePage->WriteIntoPattern();
    m_finished = true;
    done(IDFINISH);
}

void CRecurDialog::OnCancel() { done(IDCANCEL); }

void CRecurDialog::reject() { OnCancel(); }
