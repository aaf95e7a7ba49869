#include "recurkindpage.h"

#include "recurcontrols_p.h"
#include "recurdailypage.h"
#include "recurmonthlypage.h"
#include "recurtexts_p.h"
#include "recurweeklypage.h"
#include "recuryearlypage.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"

using namespace zurecur;

CRecurKindPage::CRecurKindPage(CRecurrencePattern* pattern, QWidget* parent) : QWidget(parent), m_pattern(pattern)
{
    setObjectName(QString::number(IDD_RECUR_KIND));
    setGeometry(0, 0, kWidth, kHeight);
    QPalette pal = palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    setPalette(pal);
    setAutoFillBackground(true);
    MakeLabel(this, kKindLabel, QRect(7, 6, 70, 22));
    m_kinds = MakeList(this, IDC_KIND_LIST, QRect(80, 6, 153, 22), TableTexts(IDS_DAILY, 4), false);
    connect(m_kinds, &QComboBox::activated, this, [this](int index) { SelectKind(index); });
}

CRecurDetailPage* CRecurKindPage::CurrentDetail() const { return Detail(m_kind); }

CRecurDetailPage* CRecurKindPage::Detail(int kind) const
{
    return kind >= 0 && kind < 4 ? m_details[static_cast<size_t>(kind)] : nullptr;
}

void CRecurKindPage::SelectKind(int kind)
{
    if (kind < 0 || kind > 3)
        return;
    if (m_kinds->currentIndex() != kind)
        m_kinds->setCurrentIndex(kind);
    if (kind == m_kind)
        return;
    if (CRecurDetailPage* current = CurrentDetail())
        current->hide();
    CRecurDetailPage*& page = m_details[static_cast<size_t>(kind)];
    if (!page) {
        switch (kind) {
        case 0: page = new CRecurDailyPage(this); break;
        case 1: page = new CRecurWeeklyPage(this); break;
        case 2: page = new CRecurMonthlyPage(this); break;
        default: page = new CRecurYearlyPage(this); break;
        }
        page->move(kDetailX, kDetailY);
        page->FillFromPattern(m_pattern);
    }
    m_kind = kind;
    page->show();
}

int CRecurKindPage::WriteIntoPattern()
{
    CRecurDetailPage* page = CurrentDetail();
    return page ? page->WriteIntoPattern(m_pattern) : 0;
}
