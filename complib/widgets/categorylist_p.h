// categorylist_p.h - the category page's list control: the suite's owner-drawn list whose rows
// the page draws.
#pragma once

#include "widgets/categorylist.h"
#include "widgets/listviewex.h"

class ZuCategoryListCtrl : public CListViewEx {
public:
    ZuCategoryListCtrl(CCategoryList* page, QWidget* parent) : CListViewEx(parent), m_page(page) {}

protected:
    void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected) override
    {
        m_page->DrawItem(painter, row, rect, selected);
    }

private:
    CCategoryList* m_page;
};
