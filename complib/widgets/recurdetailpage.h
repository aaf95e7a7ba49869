// recurdetailpage.h - CRecurDetailPage, what the four detail pages of the recurrence wizard's
// first step share: filling their controls from a pattern, writing them into a pattern, the
// interval list and the description line (1051) built from the page's own controls.
//
// A page asked to fill from or write into a null pattern does nothing and answers 0. Writing
// answers 0 as well when the pattern refuses a value (an interval that is not 1 to 999); the
// wizard checks IntervalIsValid before it writes, so that case is told to the user.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QWidget>

#include <span>

class CRecurrencePattern;
class CZUComboBox;
class QLabel;

class CRecurDetailPage : public QWidget {
    Q_OBJECT
public:
    // The size every detail page has below the kind list.
    static constexpr int kWidth = 226;
    static constexpr int kHeight = 180;

    CRecurDetailPage(QWidget* parent, UINT id);

    // 1 when the pattern was there and the controls show it.
    virtual int FillFromPattern(const CRecurrencePattern* pattern) = 0;
    // 1 when the pattern was there and took every value.
    virtual int WriteIntoPattern(CRecurrencePattern* pattern) = 0;
    // The description of what the controls say now.
    virtual CString Describe() const = 0;
    // Whether the interval typed or chosen is one the pattern keeps (1 to 999).
    virtual bool IntervalIsValid() const;

    // The decimal value of the interval list's text, 0 for anything but digits.
    long Interval() const;
    CString Description() const;

protected:
    // Makes the interval list at the page's first line.
    CZUComboBox* MakeIntervalList(std::span<const wchar_t* const> items);
    // Puts Describe() into the description line.
    void RefreshDescription();
    // Connects a list so that any change refreshes the description.
    void WatchList(CZUComboBox* list);

    CZUComboBox* m_interval = nullptr;
    QLabel* m_description = nullptr;
    bool m_filling = false;
};
