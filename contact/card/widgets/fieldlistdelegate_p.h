// fieldlistdelegate_p.h - draws a field list's cells: the text, and on date rows the lunar
// marker "음" in the value cell's rightmost 20 px (blue when the date is lunar, grey otherwise).
#pragma once

#include <QStyledItemDelegate>

class ZuFieldListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int LunarRole = Qt::UserRole + 1;  // 0 no marker, 1 solar, 2 lunar

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
