#include "zutimedview.h"

#include "contextmenus_p.h"
#include "filetime.h"
#include "messagebox.h"
#include "recordlayouts.h"
#include "widgets/appointment.h"
#include "zucalendardoc.h"

#include <QPointer>

namespace {

constexpr UINT kFirstBoxId = 5000;

} // namespace

CZuTimedView::CZuTimedView(CZuCalendarDoc* doc, QWidget* parent) : QWidget(parent), m_doc(doc) {}

CZuTimedView::~CZuTimedView() = default;

ICalendarFrame* CZuTimedView::Frame() const
{
    for (QObject* p = parent(); p; p = p->parent()) {
        if (auto* frame = dynamic_cast<ICalendarFrame*>(p))
            return frame;
    }
    return nullptr;
}

const CalendarItem* CZuTimedView::Item(int index) const
{
    const auto& items = m_doc->Items();
    return index >= 0 && index < static_cast<int>(items.size()) ? &items[static_cast<size_t>(index)] : nullptr;
}

int CZuTimedView::IndexOf(const RecordId& id) const
{
    if (!id.IsValid())
        return -1;
    const auto& items = m_doc->Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind == id.kind && items[i].oid == id.oid)
            return static_cast<int>(i);
    }
    return -1;
}

CAppointment* CZuTimedView::BoxAt(size_t n, QWidget* grid, int index)
{
    while (m_boxes.size() <= n) {
        auto* box = new CAppointment(0, 2, this, grid);
        box->setObjectName(QString::number(kFirstBoxId + m_boxes.size()));
        box->setFont(grid->font());
        connect(box, &CAppointment::held, this, [this, box](QPoint pos) { ShowBoxMenu(box, pos); });
        m_boxes.push_back(box);
        m_boxItems.emplace_back();
    }
    CAppointment* box = m_boxes[n];
    box->SetClone(nullptr);
    box->SetState(0, 1);
    box->SetText(CString());
    box->setFont(grid->font());
    BoxItem& info = m_boxItems[n];
    info = BoxItem{};
    if (const CalendarItem* item = Item(index)) {
        info = BoxItem{RecordId{item->kind, item->oid}, item->subject, item->timeText, item->status, item->start};
        box->SetEventCode(static_cast<DWORD>(index));
        // A status outside 0 to 3 shows status 2's colours.
        box->SetStatusCode(item->status >= 0 && item->status < 4 ? item->status : 2);
    }
    return box;
}

const CZuTimedView::BoxItem* CZuTimedView::BoxItemOf(const CAppointment* box) const
{
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i] == box)
            return &m_boxItems[i];
    }
    return nullptr;
}

void CZuTimedView::DropBoxesFrom(size_t n)
{
    while (m_boxes.size() > n) {
        delete m_boxes.back();
        m_boxes.pop_back();
        m_boxItems.pop_back();
    }
}

CAppointment* CZuTimedView::PressedBox() const
{
    CAppointment* pressed = CAppointment::m_hwndSelected.data();
    for (CAppointment* box : m_boxes) {
        if (box == pressed)
            return box;
    }
    return nullptr;
}

void CZuTimedView::ReleasePressedBox()
{
    if (CAppointment* box = PressedBox()) {
        box->SetState(0, 0);
        CAppointment::m_hwndSelected = nullptr;
    }
}

void CZuTimedView::ShowGridMenu(QPoint globalPos)
{
    const UINT id = ZuPopupMenu(this, ZuGridContextMenu(m_doc->HasClipboard()), globalPos);
    if (id)
        RunCommand(id, RecordId{});
}

void CZuTimedView::ShowBoxMenu(CAppointment* box, QPoint globalPos)
{
    const BoxItem* info = BoxItemOf(box);
    if (!info || !info->id.IsValid())
        return;
    const RecordId record = info->id;
    const UINT id = ZuPopupMenu(this, ZuBoxContextMenu(), globalPos);
    if (id)
        RunCommand(id, record);
}

bool CZuTimedView::OnViewCommand(UINT id)
{
    RecordId record;
    if (const BoxItem* info = BoxItemOf(PressedBox()))
        record = info->id;
    return RunCommand(id, record);
}

bool CZuTimedView::RunCommand(UINT id, const RecordId& record)
{
    SYSTEMTIME target{};  // wYear 0: no date
    const bool hasTarget = Target(target);
    switch (id) {
    case ZU_CMD_NEW_APPOINTMENT:
    case ZU_CMD_NEW_APPOINTMENT_ALT:
        m_doc->NewRecord(ZU_SEL_APPOINTMENTS, hasTarget ? target : SYSTEMTIME{}, false);
        return true;
    case ZU_CMD_NEW_ANNIVERSARY:
        m_doc->NewRecord(ZU_SEL_APPOINTMENTS, hasTarget ? target : SYSTEMTIME{}, true);
        return true;
    case ZU_CMD_NEW_TASK:
        m_doc->NewRecord(ZU_SEL_TASKS, SYSTEMTIME{}, false);
        return true;
    case ZU_CMD_PASTE: {
        FILETIME at{};
        const bool dated = hasTarget && SystemTimeToFileTime(&target, &at);
        m_doc->PasteAt(dated ? &at : nullptr, ZU_PASTE_DATE_TIME);
        return true;
    }
    case ZU_CMD_CUT:
    case ZU_CMD_COPY:
    case ZU_CMD_DELETE: {
        if (!record.IsValid())
            return true;
        if (id == ZU_CMD_DELETE) {
            QPointer<CZuTimedView> self(this);
            const int answer = MessageBox(this, L"이벤트를 지우시겠습니까?", L"ZuCalendar", MB_OKCANCEL | MB_ICONQUESTION);
            if (!self || answer != IDOK)
                return true;
        }
        // The items may have been replaced while the question was up: act on the record itself.
        const int index = IndexOf(record);
        if (index >= 0) {
            if (id == ZU_CMD_CUT)
                m_doc->CutItem(index);
            else if (id == ZU_CMD_COPY)
                m_doc->CopyItem(index);
            else
                m_doc->DeleteItem(index);
        }
        if (id != ZU_CMD_COPY)
            ReleasePressedBox();
        return true;
    }
    default:
        return false;
    }
}

bool CZuTimedView::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_NOTIFY && m->lParam()) {
            const auto* nm = reinterpret_cast<const NMAPPOINTMENT*>(m->lParam());
            for (size_t i = 0; i < m_boxes.size(); ++i) {
                if (m_boxes[i] == nm->hwndFrom) {
                    const BoxItem info = m_boxItems[i];  // the click may reload the boxes
                    if (info.id.IsValid())
                        OnBoxClicked(m_boxes[i], info);
                    m->setResult(0);
                    return true;
                }
            }
        }
    }
    return QWidget::event(e);
}
