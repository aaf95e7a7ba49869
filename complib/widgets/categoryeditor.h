// categoryeditor.h - the page "그룹추가/삭제": adding, hiding and deleting categories.
//
// The page (template 160) has an edit (2000) for a new name, Add (1040) and Delete (1002) image
// buttons beside it and a sorted list box (1032) of the shown categories, each item carrying its
// category index. Add and Delete follow categoryrecords.h: a new name takes the smallest free
// index, the name of a hidden category shows it again, and a category that records still carry is
// hidden rather than deleted. Typing enables Add (bitmaps 158 / 157) and disables Delete (162 /
// 163); choosing an item does the opposite (158 / 159 and 162 / 161). A name that cannot be
// stored says "Fail to insert category".
//
// The page opens the categories database per operation; its writes reach every list page that
// follows the database (categorylist.h).
#pragma once

#include "cstring.h"
#include "wintypes.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"  // the page's QPointer needs the whole sheet

class CCeButtonST;
class QLineEdit;
class QListWidget;

class CCategoryEditor : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 160;
    static constexpr UINT kListId = 1032;
    static constexpr UINT kEditId = 2000;
    static constexpr UINT kAddId = 1040;
    static constexpr UINT kDeleteId = 1002;

    CCategoryEditor();
    ~CCategoryEditor() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    QLineEdit* GetEdit() const { return m_edit; }
    QListWidget* GetList() const { return m_listBox; }
    CCeButtonST* GetAddButton() const { return m_add; }
    CCeButtonST* GetDeleteButton() const { return m_delete; }

private:
    void OnChangeCapedit();
    void OnSelchangeListCategory();
    void OnButtonAdd();
    void OnButtonDel();
    void addItem(const CString& name, int index);
    void setAddEnabled(bool enabled);
    void setDeleteEnabled(bool enabled);

    QLineEdit* m_edit = nullptr;
    QListWidget* m_listBox = nullptr;
    CCeButtonST* m_add = nullptr;
    CCeButtonST* m_delete = nullptr;
};
