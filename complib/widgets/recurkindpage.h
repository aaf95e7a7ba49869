// recurkindpage.h - CRecurKindPage (143), the first step of the recurrence wizard: "반복 타입:"
// with the kind list 1023 ("일간 반복", "주간 반복", "월간 반복", "년간 반복") and, below it, the
// detail page of the kind chosen.
//
// A detail page is made the first time its kind is chosen and filled from the pattern then; it is
// kept (hidden) when another kind is chosen, so coming back shows what was entered there. Choosing
// a kind writes nothing into the pattern: the wizard has the current detail page write when the
// user goes on to the next step.
#pragma once

#include "wintypes.h"

#include <QWidget>

#include <array>

class CRecurDetailPage;
class CRecurrencePattern;
class CZUComboBox;

class CRecurKindPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 220;
    // Where the detail pages sit: 4 dialog units below the list and in from the other sides.
    static constexpr int kDetailX = 7;
    static constexpr int kDetailY = 33;

    CRecurKindPage(CRecurrencePattern* pattern, QWidget* parent = nullptr);

    // Shows the detail page of kind 0 daily, 1 weekly, 2 monthly or 3 yearly (any other kind is
    // ignored), making and filling it on first use.
    void SelectKind(int kind);
    int CurrentKind() const { return m_kind; }
    CRecurDetailPage* CurrentDetail() const;
    // The detail page of the kind, null while it was never chosen.
    CRecurDetailPage* Detail(int kind) const;
    // The current detail page writes into the pattern; 0 when it refuses or there is none.
    int WriteIntoPattern();
    void SetPattern(CRecurrencePattern* pattern) { m_pattern = pattern; }

private:
    CRecurrencePattern* m_pattern;
    CZUComboBox* m_kinds = nullptr;
    std::array<CRecurDetailPage*, 4> m_details{};
    int m_kind = -1;
};
