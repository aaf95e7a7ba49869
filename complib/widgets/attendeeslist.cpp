#include "attendeeslist.h"

#include "cedbdatabase.h"
#include "pimstore.h"
#include "widgets/listviewex.h"
#include "widgets/syscolors.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr int kCheckSize = 13;
constexpr int kCheckLeft = 2;
constexpr int kNameWidth = 90;
constexpr int kEmailWidth = 130;

}  // namespace

class ZuAttendeeListCtrl : public CListViewEx {
public:
    ZuAttendeeListCtrl(CAttendeesList* page, QWidget* parent) : CListViewEx(parent), m_page(page) {}

protected:
    void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected) override
    {
        m_page->DrawItem(painter, row, rect, selected);
    }

private:
    CAttendeesList* m_page;
};

CAttendeesList::CAttendeesList() : CPropertyPage(kTemplateId, CString(L"참석자")) {}

CAttendeesList::~CAttendeesList() = default;

void CAttendeesList::SetEventData(DWORD oid)
{
    m_oid = oid;
    if (!oid)
        return;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&record))
        return;
    if (!record.GetIdProp(ZUID_APT_ATTENDEES))
        return;
    const std::vector<BYTE> bytes = ZuRecordBytes(record, ZUID_APT_ATTENDEES);
    m_attendees = std::make_unique<CAttendees>(ZuBlobOf(bytes));
}

int CAttendeesList::GetAttendees(_CEBLOB* blob)
{
    if (!blob)
        return 0;
    if (blob->lpb)
        LocalFree(blob->lpb);
    blob->lpb = nullptr;
    blob->dwCount = 0;
    // An empty list is a list all the same: the save then clears the recipients.
    if (!m_attendees || m_attendees->GetSize() == 0)
        return 1;
    return m_attendees->GetBLOB(*blob);
}

int CAttendeesList::GetNumOfAttendees() const
{
    return m_attendees ? m_attendees->GetSize() : 0;
}

int CAttendeesList::InsertItem(int position, const CString& name, const CString& address)
{
    (void)position;
    AttendeeRow row;
    row.strName = name;
    row.strAddress = address;
    if (m_attendees)
        for (int i = 0; i < m_attendees->GetSize() && !row.bChecked; ++i)
            row.bChecked = (*m_attendees)[i].strName == name && (*m_attendees)[i].strAddress == address;
    m_rows.push_back(std::move(row));
    return 1;
}

BOOL CAttendeesList::OnInitDialog()
{
    auto* list = new ZuAttendeeListCtrl(this, this);
    m_list = list;
    m_list->setObjectName(QString::number(kListId));
    m_list->SetTwoLine(false);
    ZuListColors colors;
    colors.text = ZuSysColor(ZU_COLOR_WINDOWTEXT);
    colors.back = ZuSysColor(ZU_COLOR_WINDOW);
    colors.selectedText = colors.text;
    colors.selectedBack = colors.back;
    colors.separator = colors.back;
    m_list->SetColors(colors);
    m_list->SetHighlightType(CListViewEx::HIGHLIGHT_ROW);
    m_list->setGeometry(rect());
    m_list->InsertColumn(0, CString(L"Name"), kNameWidth);
    m_list->InsertColumn(1, CString(L"Email"), kEmailWidth);
    connect(m_list, &CListViewEx::rowClicked, this, &CAttendeesList::OnClickListAttendees);
    InitAttendeesList();
    m_notInitialised = FALSE;
    return TRUE;
}

void CAttendeesList::InitAttendeesList()
{
    m_rows.clear();
    CCeDBDatabase contacts;
    if (GetDatabasePtr(&contacts, ZU_SEL_CONTACTS)) {
        CCeDBRecord record;
        while (contacts.ReadCurrRecord(&record)) {
            const CString name = ZuRecordString(record, ZUID_CON_FILE_AS);
            for (WORD ident : {ZUID_CON_EMAIL, ZUID_CON_EMAIL2, ZUID_CON_EMAIL3})
                if (record.GetIdProp(ident))
                    InsertItem(GetRowCount(), name, ZuRecordString(record, ident));
            record = CCeDBRecord();
        }
    }
    // Attendees that no contact carries stay, checked, until the user unchecks them.
    if (m_attendees) {
        for (int i = 0; i < m_attendees->GetSize(); ++i) {
            const _ATTENDEE a = (*m_attendees)[i];
            bool listed = false;
            for (const AttendeeRow& r : m_rows)
                listed = listed || (r.strName == a.strName && r.strAddress == a.strAddress);
            if (!listed)
                m_rows.push_back({TRUE, a.strName, a.strAddress});
        }
    }
    m_list->SetItemCount(GetRowCount());
    m_list->viewport()->update();
}

void CAttendeesList::SaveAttendees()
{
    if (!HasWindow())
        return;
    // Each attendee keeps when it was added; new ones are added now.
    const std::unique_ptr<CAttendees> old = std::move(m_attendees);
    m_attendees = std::make_unique<CAttendees>();
    for (const AttendeeRow& r : m_rows) {
        if (!r.bChecked)
            continue;
        bool kept = false;
        for (int i = 0; old && i < old->GetSize() && !kept; ++i) {
            const _ATTENDEE a = (*old)[i];
            if (a.strName == r.strName && a.strAddress == r.strAddress) {
                m_attendees->Add(a);
                kept = true;
            }
        }
        if (!kept)
            m_attendees->Add(r.strName, r.strAddress);
    }
}

void CAttendeesList::OnClickListAttendees(int row)
{
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[static_cast<size_t>(row)].bChecked = !m_rows[static_cast<size_t>(row)].bChecked;
    m_list->RedrawRow(row);
}

BOOL CAttendeesList::OnSetActive()
{
    SetTabText(CString(L"참석자"));
    return TRUE;
}

BOOL CAttendeesList::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

BOOL CAttendeesList::OnApply()
{
    SaveAttendees();
    return CPropertyPage::OnApply();
}

void CAttendeesList::resizeEvent(QResizeEvent* e)
{
    CPropertyPage::resizeEvent(e);
    if (m_list)
        m_list->setGeometry(rect());
}

CString CAttendeesList::GetRowName(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].strName : CString();
}

CString CAttendeesList::GetRowAddress(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].strAddress : CString();
}

bool CAttendeesList::IsRowChecked(int row) const
{
    return row >= 0 && row < GetRowCount() && m_rows[static_cast<size_t>(row)].bChecked;
}

void CAttendeesList::DrawItem(QPainter& p, int row, const QRect& rect, bool selected)
{
    if (row < 0 || row >= GetRowCount())
        return;
    const AttendeeRow& r = m_rows[static_cast<size_t>(row)];
    const QRect first = m_list->ColumnRect(rect, 0);
    const QRect second = m_list->ColumnRect(rect, 1);
    const int labelLeft = kCheckLeft + kCheckSize + 2;
    const QRect label(first.left() + labelLeft, rect.top(), second.right() - first.left() - labelLeft, rect.height() - 1);
    p.fillRect(label, qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHT : ZU_COLOR_WINDOW)));
    // The state image: 2 checked, 1 not.
    const QRect box(first.left() + kCheckLeft, rect.top() + (rect.height() - kCheckSize) / 2, kCheckSize, kCheckSize);
    p.save();
    p.setPen(qcolor(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
    p.setBrush(qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (r.bChecked) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(qcolor(ZuSysColor(ZU_COLOR_WINDOWTEXT)), 2));
        const QPointF o = box.topLeft();
        p.drawPolyline(QPolygonF{o + QPointF(3, 6.5), o + QPointF(5.5, 9), o + QPointF(10, 3.5)});
    }
    p.restore();
    p.setFont(m_list->ListFont());
    p.setPen(qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHTTEXT : ZU_COLOR_WINDOWTEXT)));
    const QRect nameRect(label.left() + 2, rect.top(), first.right() - label.left() - 2, rect.height() - 1);
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, r.strName.toQString());
    p.drawText(second.adjusted(2, 0, -2, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        r.strAddress.toQString());
}
