#include "widgets/categorylist.h"

#include "categorylist_p.h"
#include "categoryrecords.h"
#include "pimstore.h"
#include "stringtable.h"
#include "textutil.h"
#include "widgets/syscolors.h"
#include "windowmessage.h"

#include <QFontMetrics>
#include <QStyle>

#include <algorithm>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The check box drawn at the icon position: 13 px, as the list's state images.
constexpr int kCheckSize = 13;
constexpr int kCheckLeft = 2;
constexpr int kLabelLeft = kCheckLeft + kCheckSize + 2;

// The indices whose bits are set, ascending.
std::vector<int> bitsOf(const std::vector<BYTE>& bitmap)
{
    std::vector<int> out;
    for (size_t byte = 0; byte < bitmap.size(); ++byte)
        for (int bit = 0; bit < 8; ++bit)
            if (bitmap[byte] & (1u << bit))
                out.push_back(static_cast<int>(byte * 8) + bit);
    return out;
}

// Hands the bytes over as a CEBLOB of its own (LocalAlloc), freeing what it held.
void giveBlob(CEBLOB* blob, const std::vector<BYTE>& bytes)
{
    if (blob->lpb)
        LocalFree(blob->lpb);
    blob->lpb = nullptr;
    blob->dwCount = 0;
    if (bytes.empty())
        return;
    blob->lpb = static_cast<LPBYTE>(LocalAlloc(LPTR, bytes.size()));
    if (!blob->lpb)
        return;
    std::copy(bytes.begin(), bytes.end(), blob->lpb);
    blob->dwCount = static_cast<DWORD>(bytes.size());
}

}  // namespace

CCategoryList::CCategoryList() : CPropertyPage(kTemplateId, CString(L"그룹리스트")) {}

CCategoryList::~CCategoryList()
{
    CloseDatabase(&m_categories);
}

void CCategoryList::SetListOption(int filterFlags, BOOL showHidden)
{
    m_filterFlags = filterFlags;
    m_showHidden = showHidden;
}

void CCategoryList::SetListOption(DWORD recordOid, int selector, BOOL showHidden)
{
    m_recordOid = recordOid;
    m_selector = selector;
    m_showHidden = showHidden;
}

void CCategoryList::SetListOption(const CEBLOB* initial, int filterFlags, BOOL showHidden)
{
    m_initialBlob.clear();
    if (initial && initial->lpb)
        m_initialBlob.assign(initial->lpb, initial->lpb + initial->dwCount);
    m_filterFlags = filterFlags;
    m_showHidden = showHidden;
}

std::vector<BYTE> CCategoryList::storedBitmap() const
{
    if (!m_recordOid)
        return m_initialBlob;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, m_selector) || !db.SeekToRecord(m_recordOid) || !db.ReadCurrRecord(&record))
        return {};
    return ZuRecordBytes(record, ZUID_APT_CATEGORIES);
}

std::vector<BYTE> CCategoryList::selectionBitmap() const
{
    return ZuCategoryBitmap(m_selection, m_highestIndex);
}

BOOL CCategoryList::OnInitDialog()
{
    auto* list = new ZuCategoryListCtrl(this, this);
    m_list = list;
    m_list->setObjectName(QString::number(kListId));
    m_list->SetTwoLine(false);
    ZuListColors colors;
    colors.text = ZuSysColor(ZU_COLOR_WINDOWTEXT);
    colors.back = ZuSysColor(ZU_COLOR_WINDOW);
    colors.selectedText = colors.text;
    colors.selectedBack = colors.back;  // DrawItem fills the selected label itself
    colors.separator = colors.back;     // a report list without grid lines
    m_list->SetColors(colors);
    m_list->SetHighlightType(CListViewEx::HIGHLIGHT_ROW);
    m_list->setGeometry(rect());
    m_list->InsertColumn(0, CString(L"Category"), width() - m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    connect(m_list, &CListViewEx::rowClicked, this, &CCategoryList::OnClickListCategory);

    CCeDBProp* noSort = nullptr;
    if (!OpenDatabase(&m_categories, ZU_DB_CATEGORIES, noSort, this))
        return FALSE;
    InitCategoryList(nullptr);
    m_notInitialised = FALSE;
    return TRUE;
}

void CCategoryList::InitCategoryList(const std::vector<BYTE>* blob)
{
    const std::vector<BYTE> preselect = blob ? *blob : storedBitmap();
    const CEBLOB checks = ZuBlobOf(preselect);
    m_rows.clear();
    m_highestIndex = -1;
    const CString hiddenSuffix = ZuLoadString(ZuStr::NotInCategoryList, ZuModule::CompLib);
    for (const ZuCategoryRow& c : ZuReadCategoryRows(&m_categories, m_filterFlags, m_showHidden != FALSE)) {
        Row row;
        row.text = c.shown ? c.name : c.name + hiddenSuffix;
        row.index = c.index;
        row.checked = ZuBitmapHas(&checks, c.index);
        m_highestIndex = std::max(m_highestIndex, c.index);
        m_rows.push_back(std::move(row));
    }
    if (m_list) {
        m_list->SetItemCount(static_cast<int>(m_rows.size()));
        m_list->viewport()->update();
    }
}

void CCategoryList::SaveSelCatyIndex()
{
    if (!HasWindow())
        return;
    m_selection.clear();
    for (const Row& r : m_rows)
        if (r.checked)
            m_selection.push_back(r.index);
}

void CCategoryList::OnClickListCategory(int row)
{
    if (IsPocketPC2002() || row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    m_rows[static_cast<size_t>(row)].checked = !m_rows[static_cast<size_t>(row)].checked;
    m_list->RedrawRow(row);
}

void CCategoryList::OnNotifyDBChange()
{
    SaveSelCatyIndex();
    const std::vector<BYTE> checks = selectionBitmap();
    InitCategoryList(&checks);
}

int CCategoryList::GetCategories(CEBLOB* blob)
{
    if (!blob)
        return -1;
    if (m_notInitialised) {
        // Never shown: what the page was given goes back unchanged.
        const std::vector<BYTE> stored = storedBitmap();
        giveBlob(blob, stored);
        return static_cast<int>(stored.size());
    }
    giveBlob(blob, selectionBitmap());
    return static_cast<int>(m_selection.size());
}

int CCategoryList::GetCategories(CArray<_tabCATEGORYMENU>* categories)
{
    if (!categories)
        return -1;
    const std::vector<int> selected = m_notInitialised ? bitsOf(storedBitmap()) : m_selection;
    for (size_t i = 0; i < selected.size(); ++i)
        categories->Add({kFirstMenuCommand + static_cast<UINT>(i), selected[i]});
    return static_cast<int>(selected.size());
}

int CCategoryList::SetAutoSave(CEBLOB* blob)
{
    m_autoSave = blob;
    return blob ? 1 : 0;
}

BOOL CCategoryList::OnSetActive()
{
    SetTabText(CString(L"그룹선택"));
    return TRUE;
}

BOOL CCategoryList::OnKillActive()
{
    if (m_autoSave) {
        SaveSelCatyIndex();
        giveBlob(m_autoSave, selectionBitmap());
    }
    SetTabText(CString());
    return TRUE;
}

BOOL CCategoryList::OnApply()
{
    SaveSelCatyIndex();
    return CPropertyPage::OnApply();
}

bool CCategoryList::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == DB_CEOID_CREATED || m->message() == DB_CEOID_RECORD_DELETED
            || m->message() == DB_CEOID_CHANGED) {
            if (!m_notInitialised)
                OnNotifyDBChange();
            m->setResult(0);
            return true;
        }
    }
    return CPropertyPage::event(e);
}

void CCategoryList::resizeEvent(QResizeEvent* e)
{
    CPropertyPage::resizeEvent(e);
    if (m_list) {
        m_list->setGeometry(rect());
        m_list->SetColumnWidth(0, width() - m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    }
}

CString CCategoryList::GetRowText(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].text : CString();
}

int CCategoryList::GetRowIndex(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_rows[static_cast<size_t>(row)].index : -1;
}

bool CCategoryList::IsRowChecked(int row) const
{
    return row >= 0 && row < GetRowCount() && m_rows[static_cast<size_t>(row)].checked;
}

void CCategoryList::DrawItem(QPainter& p, int row, const QRect& rect, bool selected)
{
    if (row < 0 || row >= GetRowCount())
        return;
    const Row& r = m_rows[static_cast<size_t>(row)];
    const QRect column = m_list->ColumnRect(rect, 0);
    // The row's last line is the list's separator.
    const QRect label(column.left() + kLabelLeft, rect.top(), column.width() - kLabelLeft, rect.height() - 1);
    p.fillRect(label, qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHT : ZU_COLOR_WINDOW)));

    // The state image: a check box, ticked for a checked row.
    const QRect box(column.left() + kCheckLeft, rect.top() + (rect.height() - kCheckSize) / 2, kCheckSize, kCheckSize);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(qcolor(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
    p.setBrush(qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (r.checked) {
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen tick(qcolor(ZuSysColor(ZU_COLOR_WINDOWTEXT)), 2);
        p.setPen(tick);
        const QPointF o = box.topLeft();
        p.drawPolyline(QPolygonF{o + QPointF(3, 6.5), o + QPointF(5.5, 9), o + QPointF(10, 3.5)});
    }
    p.restore();

    p.setFont(m_list->ListFont());
    const int space = QFontMetrics(p.font()).horizontalAdvance(QLatin1Char(' '));
    const int o = 2 * space;
    p.setPen(qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHTTEXT : ZU_COLOR_WINDOWTEXT)));
    p.drawText(label.adjusted(o / 2, 0, -o, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        r.text.toQString());

    if (selected && m_list->hasFocus()) {
        p.save();
        QPen focus(qcolor(ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT)), 1, Qt::DotLine);
        p.setPen(focus);
        p.setBrush(Qt::NoBrush);
        p.drawRect(label.adjusted(0, 0, -1, -1));
        p.restore();
    }
}
