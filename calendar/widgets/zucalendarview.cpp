#include "zucalendarview.h"

#include "zucalendardoc.h"

CZuCalendarView::CZuCalendarView(CZuCalendarDoc* doc, QWidget* parent)
    : CListViewEx(parent), m_doc(doc)
{
}

CZuCalendarView::~CZuCalendarView() = default;

void CZuCalendarView::OnInitialUpdate()
{
}

bool CZuCalendarView::OnViewCommand(UINT)
{
    return false;
}
