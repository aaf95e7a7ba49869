// zucalendarview.h - the list style's view: one two-line row per item of the document.
#pragma once

#include "calendarview.h"
#include "widgets/listviewex.h"

class CZuCalendarDoc;

class CZuCalendarView : public CListViewEx, public ICalendarView {
    Q_OBJECT
public:
    explicit CZuCalendarView(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CZuCalendarView() override;

    CZuCalendarDoc* GetDocument() const { return m_doc; }
    void OnInitialUpdate() override;
    bool OnViewCommand(UINT id) override;

private:
    CZuCalendarDoc* m_doc;
};
