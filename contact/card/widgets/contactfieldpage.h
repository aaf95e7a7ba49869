// contactfieldpage.h - what the editor's two list pages share: a field list over the page that
// works on the editor's data record, and the request to bring the category list forward.
//
// A tap on the category row sends the page WM_USER + 334; the page then activates the sheet's
// category list, the fifth page (index 4: the note page is index 3).
#pragma once

#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include <QPointer>

#include "fieldlistctrl.h"

class CContactData;

class CContactFieldPage : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kCategoryPageIndex = 4;

    CContactFieldPage(UINT templateId, const CString& caption, int first, int last);
    // The editor's data record (kept, not owned); before the sheet runs.
    void SetData(CContactData* data) { m_data = data; }
    CContactData* GetData() const { return m_data; }
    CFieldListCtrl* GetList() const { return m_list; }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    int m_first, m_last;
    CContactData* m_data = nullptr;
    QPointer<CFieldListCtrl> m_list;
};
