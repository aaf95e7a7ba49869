// dlgdayview_p.h - the day popup's list: one line per item, its state image and its subject.
#pragma once

#include "cstring.h"
#include "widgets/listviewex.h"

#include <vector>

class CZuImageList;

struct ZuDayLine {
    CString text;
    int data = -1;   // the item index, -1 for none
    int state = 0;   // 1-based state image, 0 for none
};

class CDayViewList : public CListViewEx {
    Q_OBJECT
public:
    explicit CDayViewList(QWidget* parent = nullptr);

    void SetStateImages(const CZuImageList* images) { m_images = images; }
    void SetLines(std::vector<ZuDayLine> lines);
    const std::vector<ZuDayLine>& Lines() const { return m_lines; }

protected:
    void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected) override;

private:
    const CZuImageList* m_images = nullptr;
    std::vector<ZuDayLine> m_lines;
};
