#include "fieldlistctrl.h"

#include "cardlook_p.h"
#include "contactdata.h"
#include "contactfields.h"
#include "contactrules.h"
#include "fieldlistdelegate_p.h"
#include "recordlayouts.h"
#include "resource.h"
#include "textutil.h"
#include "widgets/editex.h"
#include "widgets/zudatetimectrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

void ZuFieldListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int lunar = index.data(LunarRole).toInt();
    QStyleOptionViewItem opt = option;
    if (lunar)
        opt.rect.setRight(opt.rect.right() - CFieldListCtrl::kLunarWidth);
    QStyledItemDelegate::paint(painter, opt, index);
    if (!lunar)
        return;
    const QRect mark(option.rect.right() - CFieldListCtrl::kLunarWidth + 1, option.rect.top(), CFieldListCtrl::kLunarWidth,
        option.rect.height());
    painter->save();
    painter->setFont(zucard::listFont(12, lunar == 2));
    painter->setPen(lunar == 2 ? QColor(0, 0, 156) : QColor(176, 176, 176));
    painter->drawText(mark, Qt::AlignCenter, QStringLiteral("음"));
    painter->restore();
}

CFieldListCtrl::CFieldListCtrl(QWidget* parent, UINT id) : QTableWidget(parent)
{
    setObjectName(QString::number(id ? id : IDC_FIELD_LIST));
    setColumnCount(3);
    setHorizontalHeaderLabels({QStringLiteral("Header"), QStringLiteral("Value"), QStringLiteral("PropID")});
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setColumnWidth(0, kHeaderWidth);
    setColumnWidth(1, kValueWidth);
    setColumnWidth(2, 0);
    setColumnHidden(2, true);
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    setFont(zucard::listFont());
    setItemDelegate(new ZuFieldListDelegate(this));
}

void CFieldListCtrl::addRow(const CString& label, const CString& value, DWORD propId)
{
    const int row = rowCount();
    insertRow(row);
    auto* head = new QTableWidgetItem(label.toQString());
    head->setForeground(QColor(0, 0, 156));
    head->setFont(font());
    setItem(row, 0, head);
    setItem(row, 1, new QTableWidgetItem(value.toQString()));
    setItem(row, 2, new QTableWidgetItem(QString::number(static_cast<long>(propId >> 16))));
}

void CFieldListCtrl::SetFields(CContactData* data, int first, int last)
{
    hideEditors();
    m_data = data;
    m_rows.clear();
    setRowCount(0);
    const auto fields = ZuContactFieldInfos();
    for (int i = first; i <= last && i < static_cast<int>(fields.size()); ++i) {
        const CFieldInfo& f = fields[static_cast<size_t>(i)];
        if (!f.IsDisplay())
            continue;
        m_rows.push_back(Row{&f});
        addRow(f.GetName(), CString(), f.GetPropID());
        if (!f.GetPropID())
            item(rowCount() - 1, 0)->setFont(zucard::listFont(14, true));
    }
    RefreshValues();
}

void CFieldListCtrl::SetTextRows(const std::vector<std::pair<CString, CString>>& rows)
{
    hideEditors();
    m_data = nullptr;
    m_rows.clear();
    setRowCount(0);
    // The card's rows are read only: no selection, no focus frame.
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    // The card shows whole values where it can: a smaller face, the value up to the right edge.
    setFont(zucard::listFont(12));
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (const auto& [label, value] : rows) {
        m_rows.push_back(Row{});
        addRow(label, value, 0);
    }
}

void CFieldListCtrl::RefreshValues()
{
    if (!m_data)
        return;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        const CFieldInfo* f = m_rows[static_cast<size_t>(row)].field;
        CString text = ZuFieldText(*m_data, *f);
        const WORD ident = ZuFieldIdent(*f);
        QTableWidgetItem* value = item(row, 1);
        value->setForeground(QColor(0, 0, 0));
        // The name and address groups invite an entry while they are empty.
        if (isNameGroup(row) && !m_data->Has(ZUID_CON_TITLE) && !m_data->Has(ZUID_CON_LAST_NAME)
            && !m_data->Has(ZUID_CON_FIRST_NAME) && !m_data->Has(ZUID_CON_SUFFIX) && !m_data->Has(ZUID_CON_FILE_AS)) {
            text = L"이름을 입력하세요!";
            value->setForeground(QColor(128, 128, 128));
        } else if (ident == 0 && !isNameGroup(row) && text.IsEmpty()) {
            text = L"주소를 입력하세요!";
            value->setForeground(QColor(128, 128, 128));
        }
        value->setText(text.toQString());
        if (ident == ZUID_CON_BIRTHDAY || ident == ZUID_CON_ANNIVERSARY)
            value->setData(ZuFieldListDelegate::LunarRole, m_data->IsLunar(ident) ? 2 : 1);
    }
}

int CFieldListCtrl::RowOfIdent(WORD ident) const
{
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row)
        if (IdentOfRow(row) == ident && m_rows[static_cast<size_t>(row)].field)
            return row;
    return -1;
}

WORD CFieldListCtrl::IdentOfRow(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || !m_rows[static_cast<size_t>(row)].field)
        return 0;
    return ZuFieldIdent(*m_rows[static_cast<size_t>(row)].field);
}

CString CFieldListCtrl::ValueText(int row) const
{
    const QTableWidgetItem* value = item(row, 1);
    return value ? CString::fromQString(value->text()) : CString();
}

QRect CFieldListCtrl::ValueRect(int row) const
{
    return visualRect(model()->index(row, 1));
}

bool CFieldListCtrl::isNameGroup(int row) const
{
    const CFieldInfo* f = row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)].field : nullptr;
    return f && f->GetPropID() == 0 && f->GetChildInfo() && ZuFieldIdent(*f->GetChildInfo()) == ZUID_CON_TITLE;
}

void CFieldListCtrl::mousePressEvent(QMouseEvent* event)
{
    QTableWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        OnTap(event->position().toPoint());
}

void CFieldListCtrl::OnTap(const QPoint& pos)
{
    if (!m_data)
        return;
    const int row = rowAt(pos.y());
    if (m_edit && m_editRow >= 0 && row == m_editRow)
        return;
    EndEdit();
    if (row < 0)
        return;
    const CFieldInfo* f = m_rows[static_cast<size_t>(row)].field;
    const WORD ident = ZuFieldIdent(*f);
    if (ident == ZUID_CON_CATEGORIES) {
        emit categoryRequested();
        return;
    }
    if (ident == ZUID_CON_BIRTHDAY || ident == ZUID_CON_ANNIVERSARY) {
        selectRow(row);
        const QRect cell = ValueRect(row);
        if (pos.x() > cell.right() - kLunarWidth) {
            if (m_data->HasDate(ident)) {
                m_data->SetLunar(ident, !m_data->IsLunar(ident));
                RefreshValues();
                emit valueChanged(ident);
            }
            return;
        }
        startPicker(row);
        return;
    }
    if (ident == ZUID_CON_PICTURE || (ident == 0 && !isNameGroup(row)) || f->IsReadOnly())
        return;
    startEdit(row);
}

void CFieldListCtrl::startEdit(int row)
{
    if (!m_edit) {
        m_edit = new CEditEx(viewport(), IDC_FIELD_EDIT);
        m_edit->setFont(zucard::listFont());
        connect(m_edit, &QLineEdit::editingFinished, this, &CFieldListCtrl::commitEdit);
    }
    m_editRow = row;
    const WORD ident = IdentOfRow(row);
    CString text = isNameGroup(row) ? ZuComposeDisplayName(*m_data) : m_data->GetString(ident);
    if (isNameGroup(row))
        text.TrimRight();
    PPC_KeypadUp();
    m_edit->setGeometry(ValueRect(row));
    m_edit->setText(text.toQString());
    m_edit->selectAll();
    m_edit->show();
    m_edit->setFocus();
}

void CFieldListCtrl::commitEdit()
{
    if (!m_edit || m_editRow < 0 || !m_data)
        return;
    const int row = m_editRow;
    m_editRow = -1;
    const CString text = CString::fromQString(m_edit->text());
    m_edit->hide();
    if (isNameGroup(row)) {
        // An emptied name row empties the first name (the split rule); the last name stays.
        ZuSplitDisplayName(text, *m_data);
        m_data->SetNameEdited(true);
        RefreshValues();
        emit nameChanged();
        return;
    }
    const WORD ident = IdentOfRow(row);
    m_data->SetString(ident, text);
    RefreshValues();
    emit valueChanged(ident);
}

void CFieldListCtrl::EndEdit()
{
    commitEdit();
    if (m_picker)
        m_picker->hide();
    if (m_clear)
        m_clear->hide();
    m_pickerRow = -1;
}

void CFieldListCtrl::hideEditors()
{
    m_editRow = -1;
    m_pickerRow = -1;
    if (m_edit)
        m_edit->hide();
    if (m_picker)
        m_picker->hide();
    if (m_clear)
        m_clear->hide();
}

void CFieldListCtrl::startPicker(int row)
{
    if (!m_picker) {
        m_picker = new CZUDateTimeCtrl(viewport(), IDC_DATE_PICKER);
        m_picker->SetFontSize(13);
        connect(m_picker, &CZUDateTimeCtrl::dateChanged, this, &CFieldListCtrl::setDate);
        m_clear = new QPushButton(QStringLiteral("지우기"), viewport());
        m_clear->setObjectName(QString::number(IDC_DATE_CLEAR));
        m_clear->setFont(zucard::listFont(12));
        connect(m_clear, &QPushButton::clicked, this, [this] { setDate(QDate()); });
    }
    m_pickerRow = row;
    const WORD ident = IdentOfRow(row);
    const QDate stored = m_data->GetDate(ident);
    m_picker->SetDate(stored.isValid() ? stored : QDate::currentDate());
    const QRect cell = ValueRect(row).adjusted(0, 0, -kLunarWidth, 0);
    constexpr int clearWidth = 40;
    m_picker->setGeometry(cell.adjusted(0, 0, -clearWidth, 0));
    m_clear->setGeometry(QRect(cell.right() - clearWidth + 1, cell.top(), clearWidth, cell.height()));
    m_picker->show();
    m_clear->show();
    m_clear->setEnabled(stored.isValid());
}

void CFieldListCtrl::setDate(QDate date)
{
    if (m_pickerRow < 0 || !m_data)
        return;
    const WORD ident = IdentOfRow(m_pickerRow);
    m_data->SetDate(ident, date);
    if (!date.isValid()) {
        m_picker->hide();
        m_clear->hide();
        m_pickerRow = -1;
    } else {
        m_clear->setEnabled(true);
    }
    RefreshValues();
    emit valueChanged(ident);
}
