#include "zudayview.h"

#include "bitmap.h"
#include "filetime.h"
#include "hourgrid.h"
#include "messagebox.h"
#include "recordlayouts.h"
#include "widgets/appointment.h"
#include "widgets/cboxselect.h"
#include "widgets/syscolors.h"
#include "widgets/zuimagelist.h"
#include "zucalendardoc.h"
#include "zumodule.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr UINT kBoxId = 1007;
constexpr UINT kGridId = 1006;
constexpr UINT kPictureId = 0xFFFF;
constexpr int kRows = 12;

ULONGLONG ticks(const FILETIME& ft) { return ZuFileTimeToU64(ft); }

} // namespace

CZuDayView::CZuDayView(CZuCalendarDoc* doc, QWidget* parent) : CZuTimedView(doc, parent)
{
    setObjectName(QString::number(ZU_IDC_DAY_VIEW));
    // No size until the frame gives one: a load before that waits for it.
    setGeometry(0, 0, 0, 0);
    m_ownImages = std::make_unique<CZuImageList>();
    m_ownImages->Create(ZuLoadBitmap(ZU_IDB_ITEMS16, ZuModule::Calendar), 16, RGB(255, 255, 255));

    m_box = new CBoxSelect(this, kBoxId);
    m_box->SetBkColor(RGB(218, 218, 218));
    m_box->SetImageList(m_ownImages.get());
    m_box->SetNotifyClick(TRUE, this);  // taken from boxClicked
    m_box->hide();
    connect(m_box, &CBoxSelect::boxClicked, this, [this](int entry, DWORD) { OnEntryClicked(entry); });

    m_picture = new QLabel(this);
    m_picture->setObjectName(QString::number(kPictureId));
    m_picture->setFrameShape(QFrame::Box);
    m_picture->setLineWidth(1);
    m_picture->setContentsMargins(0, 0, 0, 0);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPixmap header = ZuLoadBitmap(ZU_IDB_DAY_HEADER, ZuModule::Calendar);
    if (!header.isNull())
        m_picture->setPixmap(header);

    m_grid = new CZuHourGrid(this, kGridId);
    m_grid->SetColumnNames({"AM", "PM"});
    m_grid->SetColumnWidths({120, 120});
    m_grid->SetRowCount(kRows);
    m_grid->SetRowHeight(m_rowHeight);
    m_grid->SetRowPainter([this](QPainter& p, int row, const QRect& rect, int column) { DrawRow(p, row, rect, column); });
    connect(m_grid, &CZuHourGrid::pressed, this, [this](int, int) { ReleasePressedBox(); });
    connect(m_grid, &CZuHourGrid::held, this, [this](int, int, QPoint pos) { ShowGridMenu(pos); });
}

CZuDayView::~CZuDayView()
{
    m_box->SetImageList(nullptr);
}

void CZuDayView::SetImageList(const CZuImageList* items16)
{
    m_box->SetImageList(items16 ? items16 : m_ownImages.get());
}

void CZuDayView::OnInitialUpdate()
{
    LayoutChildren();
}

void CZuDayView::LayoutChildren()
{
    const int w = width(), h = height();
    const bool empty = m_box->GetCount() == 0;
    if (empty) {
        m_box->hide();
        m_box->setGeometry(0, 0, 0, 0);
        m_picture->setGeometry(0, -1, w, 17);
        m_grid->setGeometry(0, 16, w, std::max(h - 17, 0));
    } else {
        m_box->setGeometry(0, -1, w, 22);
        m_box->show();
        m_picture->setGeometry(0, 20, w, 19);
        m_grid->setGeometry(0, 40, w, std::max(h - 41, 0));
    }
    const int half = w / 2;
    m_grid->SetColumnWidths({half, w - half});
    // A view too small for a row keeps the row height it had.
    if (h > 0) {
        const int c = (empty ? h : h - 22) / kRows;
        if (c - 1 >= 1)
            m_rowHeight = c - 1;
    }
    m_grid->SetRowHeight(m_rowHeight);
    PositionBoxes();
}

void CZuDayView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (m_deferred && width() > 0) {
        m_deferred = false;
        OnItemsLoaded();
        return;
    }
    LayoutChildren();
}

bool CZuDayView::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_ITEMS_LOADED) {
            OnItemsLoaded();
            m->setResult(0);
            return true;
        }
    }
    return CZuTimedView::event(e);
}

void CZuDayView::OnItemsLoaded()
{
    if (width() <= 0) {
        m_deferred = true;
        return;
    }
    m_loaded = true;
    // The boxes are about to be reused or destroyed: let go of the pressed one first.
    ReleasePressedBox();
    m_selected = -1;
    FillAllDayBox();
    LayoutChildren();
    PlaceAppointments();
    m_grid->update();
}

void CZuDayView::FillAllDayBox()
{
    m_box->RemoveAll();
    m_entries.clear();
    const auto& items = m_doc->Items();
    const ItemCounts& counts = m_doc->Counts();
    const int total = std::min<int>(counts.total, static_cast<int>(items.size()));
    for (int i = std::max(counts.timed, 0); i < total && m_box->GetCount() < kMaxEntries; ++i) {
        const CalendarItem& item = items[static_cast<size_t>(i)];
        int image = -1;
        COLORREF color = 0;
        if (item.kind == ZU_ITEM_APPOINTMENT && item.dayClass == ZU_DAY_ALLDAY)
            image = 0, color = kAllDayColor;
        else if (item.kind == ZU_ITEM_CONTACT_DAY || (item.kind == ZU_ITEM_APPOINTMENT && item.dayClass == ZU_DAY_ANNIVERSARY))
            image = 1, color = kAnniversaryColor;
        else if (item.kind == ZU_ITEM_TASK && !item.timeText.IsEmpty())
            image = 2, color = kTaskColor;
        if (image < 0)
            continue;
        m_box->Add(item.subject, static_cast<DWORD>(i), image, FALSE, color);
        m_entries.push_back(BoxItem{RecordId{item.kind, item.oid}, item.subject, item.timeText, item.status, item.start});
    }
}

void CZuDayView::PlaceAppointments()
{
    const auto& items = m_doc->Items();
    const int timed = std::min<int>(m_doc->Counts().timed, static_cast<int>(items.size()));
    std::vector<OverlapEntry> entries;
    for (const DayColumnEntry& entry : m_doc->Layout().columns[0]) {
        if (entry.item < 0 || entry.item >= timed)
            continue;
        const CalendarItem& item = items[static_cast<size_t>(entry.item)];
        entries.push_back({entry.item, entry.overlap, ticks(item.start), ticks(item.end)});
    }
    m_placed.clear();
    size_t used = 0;
    for (const OverlapPlacement& p : m_placer.Place(entries, ticks(m_doc->RangeStart()), m_rowHeight)) {
        const bool split = p.startRow < kRows && p.endRow > kRows;
        CAppointment* first = nullptr;
        for (int n = 0; n < (split ? 2 : 1); ++n) {
            CAppointment* box = BoxAt(used++, m_grid, p.item);
            box->SetText(items[static_cast<size_t>(p.item)].subject);
            m_placed.push_back({p, split ? (n == 0 ? MORNING_PIECE : AFTERNOON_PIECE) : WHOLE});
            // Only the two pieces of one split are linked.
            if (n == 0) {
                first = box;
            } else {
                first->SetClone(box);
                box->SetClone(first);
            }
        }
    }
    DropBoxesFrom(used);
    PositionBoxes();
}

void CZuDayView::PositionBoxes()
{
    const int rh = m_rowHeight, halfHeight = HalfHeight(), halfWidth = HalfWidth();
    const int groupWidth = std::max(halfWidth - kBoxLeft, 0);
    for (size_t i = 0; i < m_placed.size() && i < m_boxes.size(); ++i) {
        const PlacedBox& placed = m_placed[i];
        const OverlapPlacement& p = placed.place;
        int top = p.startRow * rh, bottom = p.endRow * rh - 1;
        int left = kBoxLeft + p.Left(groupWidth), right = kBoxLeft + p.Right(groupWidth);
        const bool afternoon = placed.piece == AFTERNOON_PIECE || (placed.piece == WHOLE && p.startRow >= kRows);
        if (placed.piece == MORNING_PIECE) {
            bottom = halfHeight - 1;
        } else if (placed.piece == AFTERNOON_PIECE) {
            top = 0;
            bottom -= halfHeight;
        } else if (afternoon) {
            top -= halfHeight;
            bottom -= halfHeight;
        }
        if (afternoon) {
            left += halfWidth;
            right += halfWidth;
        }
        m_boxes[i]->setGeometry(QRect(QPoint(left, top), QPoint(right, bottom)));
        m_boxes[i]->show();
    }
}

void CZuDayView::DrawRow(QPainter& p, int row, const QRect& rect, int column)
{
    const int half = HalfWidth();
    const QRect cells[2] = {QRect(rect.left(), rect.top(), half, rect.height()),
                            QRect(rect.left() + half, rect.top(), rect.width() - half, rect.height())};
    const QString hour = row == 0 ? QStringLiteral("12") : QString::asprintf("%2d", row);
    p.setFont(font());
    for (int c = 0; c < 2; ++c) {
        const bool selected = column == c;
        const COLORREF back = selected ? ZuSysColor(ZU_COLOR_HIGHLIGHT) : c == 0 ? ZuSysColor(ZU_COLOR_WINDOW) : kAfternoonColor;
        p.fillRect(cells[c], qcolor(back));
        p.setPen(qcolor(ZuSysColor(selected ? ZU_COLOR_HIGHLIGHTTEXT : ZU_COLOR_WINDOWTEXT)));
        p.drawText(cells[c].adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, hour);
    }
    p.setPen(qcolor(ZuSysColor(ZU_COLOR_SCROLLBAR)));
    p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    p.drawLine(half - 1, rect.top(), half - 1, rect.bottom());
}

bool CZuDayView::Target(SYSTEMTIME& target) const
{
    const int row = m_grid->SelectedRow(), column = m_grid->SelectedColumn();
    if (row < 0 || row >= kRows || column < 0)
        return false;
    target = m_doc->CurrentDate();
    target.wHour = static_cast<WORD>(row + kRows * std::min(column, 1));
    target.wMinute = target.wSecond = target.wMilliseconds = 0;
    return true;
}

void CZuDayView::OnBoxClicked(CAppointment* box, const BoxItem& item)
{
    m_selected = static_cast<int>(box->GetEventCode());
    if (ICalendarFrame* frame = Frame())
        frame->OpenRecordCard(ZU_SEL_APPOINTMENTS, item.id.oid, item.start);
}

void CZuDayView::OnEntryClicked(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return;
    const BoxItem item = m_entries[static_cast<size_t>(entry)];
    if (item.id.kind == ZU_ITEM_CONTACT_DAY) {
        CString text;
        text.Format(L"%s", static_cast<const wchar_t*>(item.subject));
        MessageBox(this, text, L"기념일", MB_OK);
        return;
    }
    if (ICalendarFrame* frame = Frame())
        frame->OpenRecordCard(item.id.kind == ZU_ITEM_TASK ? ZU_SEL_TASKS : ZU_SEL_APPOINTMENTS, item.id.oid, item.start);
}
