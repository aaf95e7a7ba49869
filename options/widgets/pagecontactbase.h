// pagecontactbase.h - the options dialog's contacts page (dialog 105, heading "주소록 옵션", tab
// "주소록").
//
// | control   | id   | text                   | option (Contact key)   |
// |-----------|------|------------------------|------------------------|
// | label     |      | "주소록 일반 설정"      |                        |
// | check box | 1004 | "헤더보이기"            | "bShowQuickSearchBar"  |
// | check box | 1017 | "큰 폰트 사용하기"      | "bBigFontFlag"         |
// | check box | 1007 | "멀티라인 표시하기"     | "bShowMultiLine"       |
// | check box | 1005 | "주소록 이름만 보이기"  | "bShowNameOnly"; made hidden, nothing shows it |
//
// Apply reads the check boxes.
#pragma once

#include "optionrecords.h"
#include "widgets/optionpage.h"

class QCheckBox;

class CPageContactBase : public COptionPage {
    Q_OBJECT
public:
    CPageContactBase();

    void Load(const _tabContactOpt& opt);
    // The page's values (after apply, what the user chose).
    const _tabContactOpt& GetOptions() const { return m_opt; }

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

private:
    _tabContactOpt m_opt;
    QCheckBox* m_quickSearch = nullptr;
    QCheckBox* m_bigFont = nullptr;
    QCheckBox* m_multiLine = nullptr;
    QCheckBox* m_nameOnly = nullptr;
};
