#include "recurdetailpage.h"

#include "recurcontrols_p.h"
#include "recurtexts_p.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"

#include <QLabel>

using namespace zurecur;

CRecurDetailPage::CRecurDetailPage(QWidget* parent, UINT id) : QWidget(parent)
{
    setObjectName(QString::number(id));
    resize(kWidth, kHeight);
    QPalette pal = palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    setPalette(pal);
    setAutoFillBackground(true);
}

bool CRecurDetailPage::IntervalIsValid() const
{
    const long n = Interval();
    return n >= 1 && n <= kMaxInterval;
}

long CRecurDetailPage::Interval() const
{
    return m_interval ? DecimalValue(m_interval->currentText()) : 0;
}

CString CRecurDetailPage::Description() const
{
    return m_description ? CString::fromQString(m_description->text()) : CString();
}

CZUComboBox* CRecurDetailPage::MakeIntervalList(std::span<const wchar_t* const> items)
{
    m_interval = MakeList(this, IDC_INTERVAL, QRect(0, 2, 56, 22), items, true);
    WatchList(m_interval);
    return m_interval;
}

void CRecurDetailPage::RefreshDescription()
{
    if (m_description)
        m_description->setText(Describe().toQString());
}

void CRecurDetailPage::WatchList(CZUComboBox* list)
{
    connect(list, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling)
            RefreshDescription();
    });
}
