#include "widgets/categoryeditor.h"

#include "categoryrecords.h"
#include "messagebox.h"
#include "pimstore.h"
#include "widgets/cebuttonst.h"
#include "widgets/controlnotify.h"
#include "widgets/dialogunits.h"
#include "widgets/editex.h"
#include "widgets/zufont.h"

#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

namespace {

// Bitmaps of the two buttons: pressed, then normal and disabled.
constexpr UINT kAddPressed = 158, kAddNormal = 157, kAddDisabled = 159;
constexpr UINT kDeletePressed = 162, kDeleteNormal = 161, kDeleteDisabled = 163;
constexpr COLORREF kMask = RGB(255, 255, 255);

}  // namespace

CCategoryEditor::CCategoryEditor() : CPropertyPage(kTemplateId, CString(L"그룹 추가/삭제")) {}

CCategoryEditor::~CCategoryEditor() = default;

BOOL CCategoryEditor::OnInitDialog()
{
    const QFont font = ZuFont(L"Tahoma", 13);
    m_listBox = new QListWidget(this);
    ZuSetControlId(m_listBox, kListId);
    m_listBox->setFont(font);
    m_listBox->setSortingEnabled(true);
    m_listBox->setGeometry(ZuDuRect(0, 17, 139, 127));
    connect(m_listBox, &QListWidget::itemSelectionChanged, this, &CCategoryEditor::OnSelchangeListCategory);

    m_edit = new CEditEx(this, kEditId);  // the handheld's "CAPEDIT": bordered, scrolling
    m_edit->setFont(font);
    m_edit->setGeometry(2, 4, 145, 22);
    m_edit->setMaxLength(ZU_CATEGORY_NAME_MAX);
    connect(m_edit, &QLineEdit::textChanged, this, &CCategoryEditor::OnChangeCapedit);

    m_add = new CCeButtonST(this, kAddId);
    m_add->setGeometry(QRect(QPoint(152, 6), QPoint(193, 25)).adjusted(0, 0, -1, -1));
    m_delete = new CCeButtonST(this, kDeleteId);
    m_delete->setGeometry(QRect(QPoint(195, 6), QPoint(236, 25)).adjusted(0, 0, -1, -1));
    for (CCeButtonST* b : {m_add, m_delete}) {
        b->SetFlat(TRUE);
        b->DrawBorder(FALSE);
    }
    connect(m_add, &QAbstractButton::clicked, this, &CCategoryEditor::OnButtonAdd);
    connect(m_delete, &QAbstractButton::clicked, this, &CCategoryEditor::OnButtonDel);
    setAddEnabled(false);
    setDeleteEnabled(false);

    CCeDBDatabase db;
    if (GetDatabasePtr(&db, ZU_SEL_CATEGORIES)) {
        for (const ZuCategoryRow& c : ZuReadCategoryRows(&db, 0, false))
            addItem(c.name, c.index);
    }
    return TRUE;
}

BOOL CCategoryEditor::OnSetActive()
{
    if (m_edit)
        m_edit->setFocus();
    SetTabText(CString(L"그룹추가/삭제"));
    return TRUE;
}

BOOL CCategoryEditor::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

void CCategoryEditor::setAddEnabled(bool enabled)
{
    m_add->SetBitmaps(kAddPressed, kMask, enabled ? kAddNormal : kAddDisabled, kMask, ZuModule::CompLib);
    m_add->setEnabled(enabled);
}

void CCategoryEditor::setDeleteEnabled(bool enabled)
{
    m_delete->SetBitmaps(kDeletePressed, kMask, enabled ? kDeleteNormal : kDeleteDisabled, kMask, ZuModule::CompLib);
    m_delete->setEnabled(enabled);
}

void CCategoryEditor::addItem(const CString& name, int index)
{
    auto* item = new QListWidgetItem(name.toQString());
    item->setData(Qt::UserRole, index);
    m_listBox->addItem(item);
}

void CCategoryEditor::OnChangeCapedit()
{
    // An edit emptied again cannot add either.
    const bool typed = !m_edit->text().isEmpty();
    setAddEnabled(typed);
    if (typed)
        setDeleteEnabled(false);
}

void CCategoryEditor::OnSelchangeListCategory()
{
    const bool chosen = m_listBox->currentRow() >= 0 && !m_listBox->selectedItems().isEmpty();
    setAddEnabled(false);
    setDeleteEnabled(chosen);
}

void CCategoryEditor::OnButtonAdd()
{
    const ZuCategoryAddResult r = ZuAddCategory(CString::fromQString(m_edit->text()));
    switch (r.kind) {
    case ZuCategoryAddKind::Failed:
        MessageBox(this, L"Fail to insert category", L"", MB_OK);
        return;
    case ZuCategoryAddKind::ShownAgain:
        addItem(r.name, r.index);
        return;  // the edit keeps its text
    case ZuCategoryAddKind::AlreadyShown:
        return;
    case ZuCategoryAddKind::Added:
        addItem(r.name, r.index);
        break;
    case ZuCategoryAddKind::Refused:
        break;
    }
    m_edit->clear();
    setAddEnabled(false);
}

void CCategoryEditor::OnButtonDel()
{
    const int row = m_listBox->currentRow();
    if (row < 0 || m_listBox->selectedItems().isEmpty()) {
        m_listBox->setCurrentRow(-1);
        return;
    }
    const int index = m_listBox->item(row)->data(Qt::UserRole).toInt();
    if (ZuDeleteCategory(index) == ZuCategoryDeleteKind::Failed)
        return;
    delete m_listBox->takeItem(row);
    m_listBox->setCurrentRow(std::min(row, m_listBox->count() - 1));
    OnSelchangeListCategory();
}
