// zucalendarview.cpp - the list view's rows, pen, record commands, left scroll bar and first paint.
#include "zucalendarview.h"

#include "bitmap.h"
#include "filetime.h"
#include "calendarframe.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "programwindow.h"
#include "recordlayouts.h"
#include "resource.h"
#include "widgets/syscolors.h"
#include "textutil.h"
#include "zucalendardoc.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

constexpr int kImageSize = 16;
constexpr int kTextLeft = 18;     // the subject and the time text, after the kind's image
constexpr int kBarHeight = 10;

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The current date at `hour`:00 (local).
SYSTEMTIME AtHour(SYSTEMTIME day, int hour)
{
    day.wHour = static_cast<WORD>(hour);
    day.wMinute = day.wSecond = day.wMilliseconds = 0;
    return day;
}

long long MonotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

CZuCalendarView::CZuCalendarView(CZuCalendarDoc* doc, QWidget* parent)
    : CListViewEx(parent), m_doc(doc)
{
    SetTwoLine(true);
    InsertColumn(0, CString(L"Subject"), 195);
    InsertColumn(1, CString(L"TaskStatus"), kProgressWidth);
    InsertColumn(2, CString(L"PrevString"), 0);
    SetColors(ZuListColors::Calendar());
    m_images.Create(ZuLoadBitmap(ZU_IDB_ITEMS16, ZuModule::Calendar), kImageSize, RGB(255, 255, 255));
    connect(this, &CListViewEx::selectionChanged, this, [this](int row) { m_selected = TargetOf(row); });
    connect(this, &CListViewEx::rowClicked, this, &CZuCalendarView::OnClicked);
    connect(this, &CListViewEx::rowHeld, this, &CZuCalendarView::OnHeld);
    if (m_doc)
        connect(m_doc, &CZuCalendarDoc::itemsChanged, this, &CZuCalendarView::SyncRows);
}

CZuCalendarView::~CZuCalendarView() = default;

ICalendarFrame* CZuCalendarView::Frame() const
{
    return m_doc ? m_doc->Frame() : nullptr;
}

bool CZuCalendarView::CloseLauncher(const QString& argument)
{
    bool ok = false;
    const qulonglong value = argument.trimmed().toULongLong(&ok, 10);
    if (!ok || value == 0 || value > 0xFFFFFFFFull)
        return false;
    const HWND launcher = static_cast<HWND>(value);
    if (!IsWindow(launcher))
        return false;
    SendMessage(launcher, WM_CLOSE, 0, 0);
    return true;
}

void CZuCalendarView::OnInitialUpdate()
{
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1)
        CloseLauncher(args.at(1));
    if (m_doc)
        SetListBigFont(m_doc->ListBigFont());
    RecalcLayout();
}

void CZuCalendarView::SetListBigFont(bool big)
{
    SetBigFont(big);
    viewport()->update();
}

void CZuCalendarView::SetImageList(const CZuImageList& images)
{
    m_images = images;
    viewport()->update();
}

CZuCalendarView::Target CZuCalendarView::TargetOf(int row) const
{
    if (!m_doc || !IsRow(row) || row >= static_cast<int>(m_doc->Items().size()))
        return Target();
    const CalendarItem& item = m_doc->Items()[static_cast<size_t>(row)];
    return Target{item.kind, item.oid, item.start};
}

int CZuCalendarView::RowOf(const Target& target) const
{
    if (!m_doc || !target.valid())
        return -1;
    const std::vector<CalendarItem>& items = m_doc->Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind == target.kind && items[i].oid == target.oid && SameTime(items[i].start, target.start))
            return static_cast<int>(i);
    }
    return -1;
}

// The row count follows the document's list; the scroll position stays (within the new range) and
// the selection stays on its record, or goes when that record is no longer listed.
void CZuCalendarView::SyncRows()
{
    if (!m_doc)
        return;
    const Target keep = m_selected;
    m_subjects.clear();
    m_subjectCut.clear();
    SetItemCount(static_cast<int>(m_doc->Items().size()));
    const int row = RowOf(keep);
    SetSelectedRow(row);
    m_selected = row >= 0 ? keep : Target();
    if (m_leftBar && !m_leftBar->isHidden() && !isHidden()) {
        m_leftBar->setRange(0, GetScrollMax());
        m_leftBar->setPageStep(GetScrollPage());
        m_leftBar->setValue(GetScrollPos());
    }
    RecalcLayout();
}

bool CZuCalendarView::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* message = static_cast<ZuMessageEvent*>(e);
        if (message->message() == WM_ITEMS_LOADED) {
            m_loaded = true;
            SyncRows();
            viewport()->update();
            message->setResult(0);
            return true;
        }
    }
    return CListViewEx::event(e);
}

void CZuCalendarView::resizeEvent(QResizeEvent* e)
{
    CListViewEx::resizeEvent(e);
    RecalcLayout();
}

void CZuCalendarView::showEvent(QShowEvent* e)
{
    CListViewEx::showEvent(e);
    RecalcLayout();
}

void CZuCalendarView::ConnectLeftBar(QScrollBar* bar)
{
    if (m_leftBar == bar)
        return;
    if (m_leftBar)
        disconnect(m_leftBar, nullptr, this, nullptr);
    m_leftBar = bar;
    connect(bar, &QScrollBar::valueChanged, this, [this](int pos) {
        if (GetScrollPos() != pos)
            SetScrollPos(pos);
    });
    connect(this, &CListViewEx::scrolled, bar, [this](int pos) {
        if (m_leftBar && m_leftBar->value() != pos)
            m_leftBar->setValue(pos);
    });
}

void CZuCalendarView::RecalcLayout()
{
    if (!m_doc)
        return;
    if (isHidden()) {
        // Another view shows (the document hands its loads to this list too): the frame's bar
        // is theirs to hide; the layout is made again when this view shows.
        m_laidOut = false;
        return;
    }
    const bool scrolls = GetScrollMax() > 0;
    if (m_laidOut && size() == m_layoutSize && scrolls == m_layoutScroll && !m_doc->LayoutChanged())
        return;
    m_laidOut = true;
    m_layoutSize = size();
    m_layoutScroll = scrolls;
    m_doc->ClearLayoutChanged();

    ICalendarFrame* frame = Frame();
    QScrollBar* bar = frame ? frame->LeftScrollBar() : nullptr;
    if (bar && m_doc->LeftScroll() && scrolls) {
        ConnectLeftBar(bar);
        const int width = ZuSysMetric(ZU_SM_CXVSCROLL);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setViewportMargins(width, 0, 0, 0);
        bar->setOrientation(Qt::Vertical);
        bar->setRange(0, GetScrollMax());
        bar->setSingleStep(1);
        bar->setPageStep(GetScrollPage());
        bar->setValue(GetScrollPos());
        if (QWidget* host = bar->parentWidget()) {
            // The bar stands at the view's left edge, just above the view in the stacking order
            // (and below whatever was above it, such as the notification label).
            const QPoint topLeft = host->mapFromGlobal(mapToGlobal(QPoint(0, 0)));
            bar->setGeometry(topLeft.x(), topLeft.y(), width, height());
            QWidget* under = this;
            while (under && under->parentWidget() != host)
                under = under->parentWidget();
            if (under) {
                const QObjectList& siblings = host->children();
                const qsizetype at = siblings.indexOf(under);
                QWidget* above = nullptr;
                for (qsizetype i = at + 1; i < siblings.size() && !above; ++i) {
                    auto* w = qobject_cast<QWidget*>(siblings.at(i));
                    if (w && w != bar && !w->isWindow())
                        above = w;
                }
                if (above)
                    bar->stackUnder(above);
                else
                    bar->raise();
            }
        }
        bar->show();
    } else {
        setViewportMargins(0, 0, 0, 0);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        if (bar)
            bar->hide();
    }
    SetColumnWidth(0, std::max(0, viewport()->width() - kProgressWidth));
}

bool CZuCalendarView::viewportEvent(QEvent* e)
{
    // The first column leaves the progress column visible whatever the viewport's width.
    if (e->type() == QEvent::Resize)
        SetColumnWidth(0, std::max(0, viewport()->width() - kProgressWidth));
    return CListViewEx::viewportEvent(e);
}

void CZuCalendarView::paintEvent(QPaintEvent* e)
{
    CListViewEx::paintEvent(e);
    if (m_loaded && !m_firstPaintDone) {
        m_firstPaintDone = true;
        if (std::getenv("ZUPIMS_REPORT_FIRST_PAINT")) {
            std::fprintf(stderr, "first-paint %lld\n", MonotonicMs());
            std::fflush(stderr);
        }
    }
}

void CZuCalendarView::DrawItem(QPainter& p, int row, const QRect& rect, bool selected)
{
    if (!m_doc || row < 0 || row >= static_cast<int>(m_doc->Items().size()))
        return;
    const CalendarItem& item = m_doc->Items()[static_cast<size_t>(row)];
    const ItemCounts& counts = m_doc->Counts();
    const ZuListColors& colors = Colors();
    const int line = IsTwoLine() ? rect.height() / 2 : rect.height();
    const QRect first = ColumnRect(rect, 0);
    const bool task = item.kind == ZU_ITEM_TASK;

    // The kind's image on the first row of each group; the priority image on every task.
    const QPoint imageAt(rect.left() + 1, rect.top() + (line - kImageSize) / 2);
    if (row == 0 || row == counts.firstAnniversary || row == counts.beforeTasks) {
        int image = 0;
        if (task)
            image = 2;
        else if (item.kind == ZU_ITEM_CONTACT_DAY || item.dayClass == ZU_DAY_ANNIVERSARY)
            image = 1;
        m_images.Draw(&p, image, imageAt);
    }
    int textLeft = rect.left() + kTextLeft;
    if (task) {
        const int stateImage = item.priority + 7;
        if (stateImage - 1 >= 0 && stateImage - 1 < m_images.GetImageCount())
            m_images.Draw(&p, stateImage - 1, imageAt + QPoint(kStateImageOffset, 0));
        textLeft += kStateImageOffset;
    }

    // The subject, cut to the first column.
    const QRect subject(textLeft, rect.top(), std::max(0, first.right() - textLeft - 1), line);
    if (m_subjectWidth != first.width() || m_subjectBig != IsBigFont() || m_subjects.size() != m_doc->Items().size()) {
        m_subjects.assign(m_doc->Items().size(), QString());
        m_subjectCut.assign(m_doc->Items().size(), false);
        m_subjectWidth = first.width();
        m_subjectBig = IsBigFont();
    }
    if (!m_subjectCut[static_cast<size_t>(row)]) {
        m_subjects[static_cast<size_t>(row)] = GetEllipsisText(&p, item.subject, subject).toQString();
        m_subjectCut[static_cast<size_t>(row)] = true;
    }
    p.drawText(subject, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_subjects[static_cast<size_t>(row)]);

    // A task's progress in the second column.
    if (task) {
        const QRect column = ColumnRect(rect, 1);
        const int percent = std::clamp(item.status, 0, 100);
        if (m_doc->TaskStatusBar()) {
            const QRect bar(column.left(), rect.top() + (rect.height() - kBarHeight) / 2, kProgressWidth, kBarHeight);
            p.fillRect(bar, ToQColor(colors.At(ZuListColors::CAL_WHITE)));
            p.setPen(ToQColor(colors.At(ZuListColors::CAL_PROGRESSFRAME)));
            p.drawRect(bar.adjusted(0, 0, -1, -1));
            const int fill = percent * kProgressWidth / 100;
            const COLORREF fillColor = colors.At(selected ? ZuListColors::CAL_SELECTEDPROGRESS : ZuListColors::CAL_PROGRESS);
            if (fill > 0)
                p.fillRect(QRect(bar.left(), bar.top() + 1, fill, bar.height() - 2), ToQColor(fillColor));
        } else {
            p.setPen(ToQColor(colors.At(ZuListColors::CAL_PROGRESS)));
            p.drawText(column, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("%1%").arg(percent));
        }
    }

    // The time text on the second line, in two parts when it has a "(".
    if (IsTwoLine() && !item.timeText.IsEmpty()) {
        p.setPen(ToQColor(selected ? colors.selectedText : colors.At(ZuListColors::CAL_TIMETEXT)));
        const QString text = QString::fromStdWString(item.timeText.str());
        const QRect second(rect.left() + kTextLeft, rect.top() + line, std::max(0, first.right() - rect.left() - kTextLeft), line);
        const qsizetype open = text.indexOf(QLatin1Char('('));
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (open < 0) {
            p.drawText(second, flags, text);
        } else {
            QString head = text.left(open);
            while (!head.isEmpty() && head.back().isSpace())
                head.chop(1);
            const QString tail = text.mid(open);
            p.drawText(second, flags, head);
            const QFontMetrics metrics(p.font());
            const int shift = head.isEmpty() ? 0 : metrics.horizontalAdvance(head) + metrics.horizontalAdvance(QLatin1Char(' '));
            p.drawText(second.adjusted(shift, 0, 0, 0), flags, tail);
        }
    }
}

void CZuCalendarView::OnClicked(int row)
{
    if (!m_doc || row != GetSelectedRow() || row < 0 || row >= static_cast<int>(m_doc->Items().size()))
        return;
    const CalendarItem item = m_doc->Items()[static_cast<size_t>(row)];
    if (item.kind == ZU_ITEM_APPOINTMENT || item.kind == ZU_ITEM_TASK) {
        if (ICalendarFrame* frame = Frame())
            frame->OpenRecordCard(item.kind, item.oid, item.start);
    } else if (item.kind == ZU_ITEM_CONTACT_DAY) {
        MessageBox(this, item.subject, L"기념일", MB_OK);
    }
}

void CZuCalendarView::OnHeld(int row, QPoint pos)
{
    if (!m_doc)
        return;
    const Target target = TargetOf(row);
    const bool record = target.kind == ZU_ITEM_APPOINTMENT || target.kind == ZU_ITEM_TASK;
    const bool appointment = target.kind == ZU_ITEM_APPOINTMENT;
    std::vector<ZuMenuEntry> entries = {
        {ZU_CMD_NEW_APPOINTMENT, CString(L"새 일정")},
        {ZU_CMD_NEW_ANNIVERSARY, CString(L"새 기념일")},
        {ZU_CMD_NEW_TASK, CString(L"새 할일")},
        {0, CString(), true, false, true},
        {ZU_CMD_CUT, CString(L"잘라내기"), appointment},
        {ZU_CMD_COPY, CString(L"복사하기"), appointment},
        {ZU_CMD_PASTE, CString(L"붙이기"), !record && m_doc->HasClipboard()},
        {ZU_CMD_DELETE, CString(L"이벤트 지우기"), record},
    };
    const UINT id = ZuPopupMenu(this, entries, viewport()->mapToGlobal(pos));
    if (id == ZU_CMD_NEW_APPOINTMENT || id == ZU_CMD_NEW_ANNIVERSARY || id == ZU_CMD_NEW_TASK)
        OnViewCommand(id);
    else if (id != 0)
        RunCommand(id, target);
}

bool CZuCalendarView::RunCommand(UINT id, const Target& target)
{
    if (!m_doc)
        return false;
    switch (id) {
    case ZU_CMD_CUT:
        return target.kind == ZU_ITEM_APPOINTMENT && m_doc->CutRecord(target.kind, target.oid);
    case ZU_CMD_COPY:
        return target.kind == ZU_ITEM_APPOINTMENT && m_doc->CopyRecord(target.kind, target.oid);
    case ZU_CMD_PASTE: {
        FILETIME day{};
        const SYSTEMTIME midnight = AtHour(m_doc->CurrentDate(), 0);
        return SystemTimeToFileTime(&midnight, &day) && m_doc->PasteAt(&day, ZU_PASTE_DATE);
    }
    case ZU_CMD_DELETE:
        if (target.kind != ZU_ITEM_APPOINTMENT && target.kind != ZU_ITEM_TASK)
            return false;
        if (MessageBox(this, L"이벤트를 지우시겠습니까?", L"ZuCalendar", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return false;
        return m_doc->DeleteRecordOf(target.kind, target.oid);
    default:
        return false;
    }
}

bool CZuCalendarView::OnViewCommand(UINT id)
{
    if (!m_doc)
        return false;
    switch (id) {
    case ZU_CMD_NEW_APPOINTMENT:
    case ZU_CMD_NEW_APPOINTMENT_ALT:
        m_doc->NewRecord(ZU_ITEM_APPOINTMENT, AtHour(m_doc->CurrentDate(), 12), false);
        return true;
    case ZU_CMD_NEW_ANNIVERSARY:
        m_doc->NewRecord(ZU_ITEM_APPOINTMENT, AtHour(m_doc->CurrentDate(), 12), true);
        return true;
    case ZU_CMD_NEW_TASK:
        m_doc->NewRecord(ZU_ITEM_TASK, SYSTEMTIME{}, false);
        return true;
    case ZU_CMD_CUT:
    case ZU_CMD_COPY:
    case ZU_CMD_PASTE:
    case ZU_CMD_DELETE:
        RunCommand(id, m_selected);
        return true;
    default:
        return false;
    }
}
