#include "mainframe.h"

#include "calendarview.h"
#include "widgets/recordeditor.h"
#include "widgets/viewboard.h"
#include "zucalendarview.h"
#include "zudayview.h"
#include "zumonthview.h"
#include "zuweekview.h"
#include "zucalendardoc.h"

#include "bitmap.h"
#include "categoryrecords.h"
#include "messagebox.h"
#include "optionrecords.h"
#include "pimstore.h"
#include "programwindow.h"
#include "recordlayouts.h"
#include "stringtable.h"
#include "textutil.h"
#include "widgets/cebuttonst.h"
#include "widgets/cecommandbarexp.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/cetoolbar.h"
#include "widgets/label.h"
#include "widgets/menuselectsheet.h"
#include "widgets/optionsheet.h"
#include "widgets/syscolors.h"
#include "widgets/zudatetimectrl.h"
#include "widgets/zufont.h"
#include "widgets/zuimagelist.h"
#include "windowmessage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr COLORREF kCommandBarColor = RGB(120, 161, 245);
constexpr COLORREF kContentBarColor = RGB(218, 218, 218);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr UINT kLabelTimer = 1;
constexpr int kCategoryTextWidth = 100;
// Control ids the handheld gives the shown and the hidden view.
constexpr UINT kFirstPaneId = 0xE900;
constexpr UINT kHiddenPaneId = 0xE9FF;
// The two menu buttons of the command bar.
constexpr UINT kAddMenuId = 1;
constexpr UINT kToolsMenuId = 2;

std::vector<ZuMenuEntry> AddMenu()
{
    return {{ZU_CMD_NEW_APPOINTMENT, L"새 일   정"}, {ZU_CMD_NEW_ANNIVERSARY, L"새 기념일"},
            {ZU_CMD_NEW_TASK, L"새 할   일"}};
}

std::vector<ZuMenuEntry> ToolsMenu()
{
    ZuMenuEntry separator;
    separator.separator = true;
    return {{ZU_CMD_CONTACTS, L"주 소 록"}, separator, {ZU_CMD_OPTIONS, L"설     정"}, separator,
            {ZU_CMD_EXIT, L"종료하기"}};
}

bool IsViewCommand(UINT id)
{
    return id == ZU_CMD_NEW_APPOINTMENT || id == ZU_CMD_NEW_APPOINTMENT_ALT
        || (id >= ZU_CMD_NEW_ANNIVERSARY && id <= ZU_CMD_DELETE) || id == ZU_CMD_TO_DAY_VIEW
        || id == ZU_IDC_NOTIFY_LABEL;
}

// The text cut with "..." to the width, measured in the font.
CString Shortened(const CString& text, const QFont& font, int width)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(font);
    return GetEllipsisText(&painter, text.str().c_str(), QRect(0, 0, width, 100));
}

}  // namespace

CMainFrame::CMainFrame(CZuCalendarDoc* doc, QWidget* parent)
    : QWidget(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("ZuCalendar"));
    m_labelTimer.setSingleShot(true);
    connect(&m_labelTimer, &QTimer::timeout, this, [this] { OnTimer(kLabelTimer); });
}

CMainFrame::~CMainFrame()
{
    Shutdown();
}

BOOL CMainFrame::Create()
{
    setWindowTitle(QStringLiteral("ZuCalendar"));
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 255));
    setPalette(pal);

    static const wchar_t* const names[] = {ZU_DB_APPOINTMENTS, ZU_DB_CONTACTS, ZU_DB_TASKS, ZU_DB_CATEGORIES};
    for (size_t i = 0; i < m_databases.size(); ++i)
        m_databases[i].Open(names[i], nullptr, this);  // one that does not open is skipped by the loads

    if (!CreateCommandBar() || !CreateContentBar() || !CreateNavigationBar())
        return FALSE;

    m_label = new CLabel(this, ZU_IDC_NOTIFY_LABEL);
    m_label->SetBorder(TRUE);
    m_label->SetLink(FALSE, TRUE);
    m_label->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    m_label->setGeometry(0, 0, 240, 50);
    m_label->hide();

    m_leftScroll = new QScrollBar(Qt::Vertical, this);
    m_leftScroll->setObjectName(QString::number(ZU_IDC_LEFT_SCROLL));
    m_leftScroll->hide();

    m_listView = new CZuCalendarView(m_doc, this);
    m_listView->setObjectName(QString::number(kFirstPaneId));
    m_current = m_listView;
    m_doc->SetFrame(this);
    RecalcLayout();

    ZuRegisterMainWindow(this);
    WriteRegistryHWND(ZuWindowHandle(this), CString(L"Calendar"));
    return TRUE;
}

void CMainFrame::InitialUpdate()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_listView->OnInitialUpdate();
    m_doc->InitialUpdate();
    RecalcLayout();
}

bool CMainFrame::CreateCommandBar()
{
    m_commandBar = new CCeCommandBarExp(this);
    if (!m_commandBar->Create(this))
        return false;
    m_commandBar->SetBkColor(kCommandBarColor);
    m_commandBar->SetFontBold(TRUE);
    m_menuImages = std::make_unique<CZuImageList>();
    m_menuImages->Create(ZuLoadBitmap(ZU_IDB_MENU_BUTTONS, ZuModule::Calendar), 29, kWhite);
    m_commandBar->SetImageList(m_menuImages.get());
    const CString tooltip = ZuLoadString(ZU_IDS_TOOLTIP, ZuModule::Calendar);
    // The two menus, then the view buttons under their image buttons, then the contacts button.
    const bool images = m_menuImages->GetImageCount() >= 2;
    m_commandBar->AddMenuButton(kAddMenuId, images ? CString() : CString(L"추가"), AddMenu(), 34, images ? 0 : -1);
    m_commandBar->AddMenuButton(kToolsMenuId, images ? CString() : CString(L"도구"), ToolsMenu(), 34, images ? 1 : -1);
    m_commandBar->AddSeparator(7);
    for (UINT id : {ZU_CMD_VIEW_DAY, ZU_CMD_VIEW_WEEK, ZU_CMD_VIEW_MONTH, ZU_CMD_STYLE})
        m_commandBar->AddButton(id, -1, TBSTYLE_BUTTON, 23);
    m_commandBar->AddSeparator(7);
    m_commandBar->AddButton(ZU_CMD_CONTACTS, -1, TBSTYLE_BUTTON, 23);
    m_commandBar->setToolTip(tooltip.toQString());

    m_buttons[BTN_DAY] = MakeImageButton(m_commandBar, ZU_CMD_VIEW_DAY, QRect(75, 2, 21, 20));
    m_buttons[BTN_WEEK] = MakeImageButton(m_commandBar, ZU_CMD_VIEW_WEEK, QRect(98, 2, 21, 20));
    m_buttons[BTN_MONTH] = MakeImageButton(m_commandBar, ZU_CMD_VIEW_MONTH, QRect(121, 2, 21, 20));
    m_buttons[BTN_STYLE] = MakeImageButton(m_commandBar, ZU_CMD_STYLE, QRect(144, 2, 21, 20));
    m_buttons[BTN_CONTACTS] = MakeImageButton(m_commandBar, ZU_CMD_CONTACTS, QRect(174, 4, 16, 16));
    SetViewTypeButtons(m_doc->ViewType());
    SetButtonBitmap(BTN_STYLE, ZU_IDB_STYLE_LIST);
    m_buttons[BTN_CONTACTS]->SetBitmaps(ZU_IDB_CONTACTS + 1, kWhite, ZU_IDB_CONTACTS, kWhite, ZuModule::Calendar);
    m_buttonBitmaps[BTN_CONTACTS] = ZU_IDB_CONTACTS + 1;
    return true;
}

bool CMainFrame::CreateContentBar()
{
    m_contentBar = new CEToolBar(this, ZU_IDC_CONTENT_BAR);
    m_contentBar->SetBkColor(kContentBarColor);
    m_contentBar->AddButton(ZU_CMD_CATEGORY_BUTTON, -1, TBSTYLE_DROPDOWN, 0,
                            ZuLoadString(ZU_IDS_SHOW, ZuModule::Calendar));
    static const UINT ids[] = {ZU_CMD_SHOW_APPOINTMENTS, ZU_CMD_SHOW_ANNIVERSARIES, ZU_CMD_SHOW_TASKS,
                               ZU_CMD_SHOW_RECURRING};
    for (int i = 0; i < 4; ++i)
        m_buttons[BTN_APPOINTMENTS + i] = MakeImageButton(m_contentBar, ids[i], QRect(144 + 24 * i, 5, 16, 16));
    SetContentButtons(m_doc->ViewContents());
    return true;
}

bool CMainFrame::CreateNavigationBar()
{
    m_navBar = new CEToolBar(this, ZU_IDC_NAVIGATION_BAR);
    m_navBar->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    m_navImages = std::make_unique<CZuImageList>(16, 15);
    m_navImages->Add(ZuLoadBitmap(ZU_IDB_PREV, ZuModule::Calendar), kWhite);
    m_navImages->Add(ZuLoadBitmap(ZU_IDB_NEXT, ZuModule::Calendar), kWhite);
    m_navBar->SetImageList(m_navImages.get());
    const bool images = m_navImages->GetImageCount() >= 2;
    m_navBar->AddButton(ZU_CMD_PREV, images ? 0 : -1, TBSTYLE_BUTTON, 24, images ? CString() : CString(L"<"));
    m_navBar->AddButton(ZU_CMD_NAV_DATE, -1, TBSTYLE_BUTTON, 24);
    m_navBar->AddButton(ZU_CMD_NEXT, images ? 1 : -1, TBSTYLE_BUTTON, 24, images ? CString() : CString(L">"));

    m_date = new CZUDateTimeCtrl(m_navBar, ZU_IDC_DATE);
    m_date->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    m_date->SetFontBold(TRUE);
    m_date->SetOwnerDrawText(TRUE);
    connect(m_date, &CZUDateTimeCtrl::dateChanged, this, [this](QDate date) {
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(date.year());
        st.wMonth = static_cast<WORD>(date.month());
        st.wDay = static_cast<WORD>(date.day());
        st.wDayOfWeek = static_cast<WORD>(date.dayOfWeek() % 7);
        m_doc->OnDateChanged(st);
    });
    return true;
}

CCeButtonST* CMainFrame::MakeImageButton(QWidget* bar, UINT id, QRect rect)
{
    auto* button = new CCeButtonST(bar, id);
    button->setGeometry(rect);
    button->SetFlat(TRUE);
    button->DrawBorder(FALSE);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

void CMainFrame::SetButtonBitmap(int index, UINT bitmap)
{
    CCeButtonST* button = m_buttons.at(index);
    if (!button)
        return;
    m_buttonBitmaps.at(index) = bitmap;
    button->SetBitmaps(bitmap, kWhite, 0, kWhite, ZuModule::Calendar);
    button->update();
}

CCeButtonST* CMainFrame::ImageButton(int index) const
{
    return index >= 0 && index < BTN_COUNT ? m_buttons[index] : nullptr;
}

QRect CMainFrame::ViewArea() const
{
    const int top = m_contentBarShown ? kTopBarsHeight : kNavigationBarHeight;
    const int bottom = height() - CCeCommandBarExp::kHeight;
    return QRect(0, top, width(), std::max(0, bottom - top));
}

void CMainFrame::RecalcLayout()
{
    if (!m_navBar)
        return;
    const int w = width();
    m_contentBar->setVisible(m_contentBarShown);
    m_contentBar->setGeometry(0, 0, w, kContentBarHeight);
    m_navBar->setGeometry(0, m_contentBarShown ? kTopBarsHeight - kNavigationBarHeight : 0, w, kNavigationBarHeight);
    m_navBar->raise();
    // The date control fills what the two arrows leave.
    const int arrows = m_navBar->GetItemRect(0).width() + m_navBar->GetItemRect(2).width();
    m_navBar->SetButtonWidth(1, std::max(0, w - arrows));
    m_date->setGeometry(m_navBar->GetItemRect(1));
    const QRect area = ViewArea();
    m_leftScroll->setGeometry(area.x(), area.y(), ZuSysMetric(ZU_SM_CXVSCROLL), area.height());
    if (m_current)
        m_current->setGeometry(area);
    if (m_listView && m_listView != m_current)
        m_listView->setGeometry(area);
    if (m_label)
        m_label->raise();
}

void CMainFrame::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    RecalcLayout();
}

bool CMainFrame::OnCommand(UINT id)
{
    if (IsViewCommand(id)) {
        if (auto* view = dynamic_cast<ICalendarView*>(m_current.data()); view && view->OnViewCommand(id))
            return true;
        if (id == ZU_IDC_NOTIFY_LABEL) {
            HideNotification();
            return true;
        }
    }
    if (id == ZU_CMD_EXIT) {
        QCoreApplication::postEvent(this, new ZuMessageEvent(WM_CLOSE, 0, 0));
        return true;
    }
    return m_doc->OnCommand(id);
}

bool CMainFrame::event(QEvent* e)
{
    if (e->type() != ZuMessageEvent::eventType())
        return QWidget::event(e);
    auto* message = static_cast<ZuMessageEvent*>(e);
    switch (message->message()) {
    case WM_COMMAND:
        OnCommand(LOWORD(message->wParam()));
        return true;
    case WM_CLOSE:
        close();
        return true;
    case DB_CEOID_CREATED:
    case DB_CEOID_RECORD_DELETED:
    case DB_CEOID_CHANGED:
        ScheduleReload();
        return true;
    case WM_OPTION_CHANGED:
        m_doc->OnOptionChanged(message->wParam(), message->lParam());
        return true;
    default:
        return QWidget::event(e);
    }
}

void CMainFrame::ScheduleReload()
{
    // One reload for a burst of notifications (an import writes many records).
    if (m_reloadPending)
        return;
    m_reloadPending = true;
    QTimer::singleShot(0, this, [this] {
        m_reloadPending = false;
        if (!m_shutDown)
            m_doc->RequestLoad(ActiveView());
    });
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    Shutdown();
    e->accept();
}

void CMainFrame::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (ZuWindowHandle(this)) {
        WriteRegistryHWND(0, CString(L"Calendar"));
        ZuUnregisterMainWindow(this);
    }
    // Loads still under way are delivered to nobody once the document lets go of the frame.
    m_doc->SetFrame(nullptr);
    for (CCeDBDatabase& db : m_databases)
        db.Close();
    m_labelTimer.stop();
}

// ---- views --------------------------------------------------------------------------------

template <class View>
View* CMainFrame::MakeView(View*& view)
{
    if (!view) {
        view = new View(m_doc, this);
        view->setObjectName(QString::number(kHiddenPaneId));
        view->hide();
        view->setGeometry(ViewArea());
        view->OnInitialUpdate();
        if (m_label)
            m_label->raise();
    }
    return view;
}

QWidget* CMainFrame::GetView(int type, int style)
{
    // Every type in list style is the list view. In graphic style the day, week and month views
    // are made on first use; the year type has no graphic view and shows the list.
    if (style != ZU_STYLE_GRAPHIC)
        return m_listView;
    switch (type) {
    case ZU_VIEW_DAY: return MakeView(m_dayView);
    case ZU_VIEW_WEEK: return MakeView(m_weekView);
    case ZU_VIEW_MONTH: return MakeView(m_monthView);
    default: return m_listView;
    }
}

QObject* CMainFrame::ViewFor(int type, int style)
{
    return GetView(type, style);
}

QObject* CMainFrame::ActiveView()
{
    return m_current.data();
}

void CMainFrame::SwitchView(int type, int style)
{
    QWidget* next = GetView(type, style);
    if (m_current && m_current != next) {
        m_current->setObjectName(QString::number(kHiddenPaneId));
        m_current->hide();
    }
    m_contentBarShown = style == ZU_STYLE_LIST || type == ZU_VIEW_MONTH || type == ZU_VIEW_YEAR;
    m_graphicStandIn = style == ZU_STYLE_GRAPHIC && next == m_listView;
    m_current = next;
    if (next) {
        next->setObjectName(QString::number(kFirstPaneId));
        next->show();
    }
    RecalcLayout();
}

void CMainFrame::ShowGraphicNotice()
{
    if (!m_graphicStandIn)
        return;
    HideNotification();
    ShowNotification(CString(L"연간 보기는 그래픽으로 볼 수 없습니다."), CString(L"목록으로 보여 드립니다."),
                     RGB(255, 255, 225));
}

// ---- bars ---------------------------------------------------------------------------------

void CMainFrame::SetCaption(const CString& text, COLORREF color, const SYSTEMTIME& date)
{
    QFont font = m_date->font();
    const CString shown = Shortened(text, font, m_date->width());
    m_date->SetDate(QDate(date.wYear, date.wMonth, date.wDay));
    m_date->SetTextColor(color);
    m_date->SetText(shown);
}

void CMainFrame::SetWindowTitle(const CString& title)
{
    setWindowTitle(title.toQString());
}

void CMainFrame::CloseDateDropDown()
{
    if (QCalendarWidget* popup = m_date->calendarPopup())
        popup->hide();
}

void CMainFrame::SetCategoryButtonText(const CString& text)
{
    m_contentBar->SetButtonText(ZU_CMD_CATEGORY_BUTTON, Shortened(text, m_contentBar->font(), kCategoryTextWidth));
}

void CMainFrame::SetViewTypeButtons(int type)
{
    HideNotification();
    SetButtonBitmap(BTN_DAY, type == ZU_VIEW_DAY ? ZU_IDB_DAY_BUTTON + 1 : ZU_IDB_DAY_BUTTON);
    SetButtonBitmap(BTN_WEEK, type == ZU_VIEW_WEEK ? ZU_IDB_WEEK_BUTTON + 1 : ZU_IDB_WEEK_BUTTON);
    SetButtonBitmap(BTN_MONTH, type == ZU_VIEW_MONTH ? ZU_IDB_MONTH_BUTTON + 1 : ZU_IDB_MONTH_BUTTON);
    ShowGraphicNotice();
}

void CMainFrame::SetStyleButton(int style)
{
    HideNotification();
    SetButtonBitmap(BTN_STYLE, style == ZU_STYLE_GRAPHIC ? ZU_IDB_STYLE_GRAPHIC : ZU_IDB_STYLE_LIST);
    ShowGraphicNotice();
}

void CMainFrame::SetContentButtons(DWORD contents)
{
    static const UINT off[] = {ZU_IDB_APPOINTMENTS, ZU_IDB_ANNIVERSARIES, ZU_IDB_TASKS, ZU_IDB_RECURRING};
    for (int i = 0; i < 4; ++i)
        SetButtonBitmap(BTN_APPOINTMENTS + i, (contents & (1u << i)) ? off[i] + 1 : off[i]);
}

void CMainFrame::HideLeftScrollBar()
{
    m_leftScroll->hide();
}

void CMainFrame::SetListBigFont(bool big)
{
    m_listView->SetListBigFont(big);
}

void CMainFrame::InvalidateListView()
{
    m_listView->RecalcLayout();
    m_listView->viewport()->update();
}

QScrollBar* CMainFrame::LeftScrollBar()
{
    return m_leftScroll;
}

// ---- the label ----------------------------------------------------------------------------

void CMainFrame::ShowNotification(const CString& subject, const CString& timeText, COLORREF color)
{
    if (m_label->isVisible()) {
        HideNotification();
        return;
    }
    CString text;
    text.Format(L"  %s\r\n  %s", subject.str().c_str(), timeText.str().c_str());
    m_label->SetBkColor(color);
    m_label->SetText(text.str().c_str());
    m_label->setGeometry(0, 0, 240, 50);
    m_label->raise();
    m_label->show();
    m_labelTimer.start(kLabelHideMs);
}

void CMainFrame::HideNotification()
{
    m_labelTimer.stop();
    if (m_label)
        m_label->hide();
}

void CMainFrame::OnTimer(UINT id)
{
    if (id != kLabelTimer)
        return;
    m_labelTimer.stop();
    if (m_label->isVisible())
        m_label->hide();
}

// ---- what the frame opens -------------------------------------------------------------------

UINT CMainFrame::ShowCategoryMenu(const std::vector<CategoryMenuItem>& items)
{
    std::vector<ZuMenuEntry> entries;
    for (const CategoryMenuItem& item : items) {
        ZuMenuEntry entry;
        entry.id = item.id;
        entry.text = item.text;
        entry.checked = item.checked;
        entries.push_back(entry);
    }
    const QRect button = m_contentBar->GetItemRect(m_contentBar->CommandToIndex(ZU_CMD_CATEGORY_BUTTON));
    return ZuPopupMenu(this, entries, m_contentBar->mapToGlobal(button.bottomLeft()));
}

bool CMainFrame::RunCategorySheet(std::vector<int>& indexes)
{
    // The list shows the hidden categories too and starts with the current choice checked.
    const int highest = indexes.empty() ? -1 : *std::max_element(indexes.begin(), indexes.end());
    std::vector<BYTE> bits = ZuCategoryBitmap(indexes, highest);
    CEBLOB preset{static_cast<DWORD>(bits.size()), bits.empty() ? nullptr : bits.data()};
    CCategoryList list;
    list.SetListOption(&preset, 0, TRUE);
    CCategoryEditor editor;
    CMenuSelectSheet sheet(CString(L"일정"), this);
    sheet.AddPage(&list);
    sheet.AddPage(&editor);
    if (sheet.DoModal() != IDOK)
        return false;
    CArray<_tabCATEGORYMENU> chosen;
    list.GetCategories(&chosen);
    indexes.clear();
    for (int i = 0; i < chosen.GetSize(); ++i)
        indexes.push_back(chosen[i].nIndex);
    return true;
}

void CMainFrame::RunRecordEditor(int kind, const SYSTEMTIME& date, bool anniversary)
{
    // The document reloads on the store's notifications once the record is saved.
    ZuEditorPreset preset;
    preset.date = date;
    preset.anniversary = anniversary;
    CEOID oid = 0;
    if (kind == ZU_SEL_TASKS)
        ZuEditTask(this, CString(L"일정"), oid, preset);
    else
        ZuEditAppointment(this, CString(L"일정"), oid, preset);
}

void CMainFrame::ShowOptions()
{
    ShowOptionDlg(L"환경설정", this);
}

void CMainFrame::OpenRecordCard(int selector, DWORD oid, const FILETIME& start)
{
    // The board reads the record through a database of its own; after an edit or a delete the
    // document reloads on the store's notifications.
    CViewBoard board(oid, nullptr, selector, this, &start);
    board.DoModal();
}

DWORD CMainFrame::MainWindowHandle()
{
    return ZuWindowHandle(this);
}
