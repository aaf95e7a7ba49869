// mainframe.h - the calendar program's main window: its bars and buttons, its views, and the
// routing of commands, database notifications and option changes to the document.
//
// Layout, in logical pixels (the handheld's, whatever the screen scale):
// - the content bar (0xE800) along the top, 25 high, RGB(218,218,218): the category button 1000
//   and the four content toggles 32772-32775 at x 144, 168, 192, 216, y 5, 16 x 16;
// - the navigation bar (1004) under it, 23 high, so that the two take the first 47 pixels: the
//   previous and next arrows and, between them, the date control 107 showing the caption;
// - the command bar along the bottom, RGB(120,161,245): the menus "추가" and "도구", the view
//   type buttons 32793-32795 and the style button 32797 (21 x 20 at x 75, 98, 121, 144, y 2)
//   and the contacts button 32790 (16 x 16 at x 174, y 4);
// - the views fill what is left; the content bar is hidden for the day and week types in
//   graphic style, and the views then start under the navigation bar;
// - the left scroll bar 1013 at the left edge of the view area, shown only by the list view;
// - the notification label 1009 over everything at (0, 0), 240 x 50, hidden until asked for.
//
// The list view always exists; the day, week and month views are made on first use (ids 1, 2
// and 4 on the handheld). The year type has no graphic view: its graphic style shows the list
// view and says so in the notification label.
//
// Commands of the bars reach OnCommand: the view commands (new, cut, copy, paste, delete, the
// switch to the day view, the label's click) go to the active view first, the rest to the
// document; "종료하기" (32826) sends WM_CLOSE to the main window. Another program's write to one of
// the four databases (appointments, contacts, tasks, categories) reloads the current view once
// the notifications of one burst are in. WM_OPTION_CHANGED goes to the document.
//
// Lifetime: Create registers the window (ZuRegisterMainWindow) and publishes its handle under
// "Calendar"; closing writes 0 there, detaches the document (SetFrame(nullptr)) and closes the
// databases before the views go.
#pragma once

#include "calendarframe.h"
#include "cedbdatabase.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class CCeButtonST;
class CCeCommandBarExp;
class CEToolBar;
class CLabel;
class CZUDateTimeCtrl;
class CZuCalendarDoc;
class CZuCalendarView;
class CZuDayView;
class CZuMonthView;
class CZuWeekView;
class CZuImageList;
class QScrollBar;

class CMainFrame : public QWidget, public ICalendarFrame {
    Q_OBJECT
public:
    static constexpr int kContentBarHeight = 25;
    static constexpr int kNavigationBarHeight = 23;
    static constexpr int kTopBarsHeight = 47;
    static constexpr int kLabelHideMs = 5000;
    // The window's first size: the handheld's screen below its title bar.
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 294;

    explicit CMainFrame(CZuCalendarDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Makes the bars, the label, the left scroll bar and the list view, opens the databases with
    // this window as their notification window and publishes the window; FALSE when a bar could
    // not be made. Then InitialUpdate runs the views' and the document's first update.
    BOOL Create();
    void InitialUpdate();

    CZuCalendarDoc* GetDocument() const { return m_doc; }
    CZuCalendarView* ListView() const { return m_listView; }
    QWidget* GetView(int type, int style);
    // Routes one command as the bars' clicks do; true when someone handled it.
    bool OnCommand(UINT id);
    // Shows the two-line label in the colour; a call while it shows hides it instead.
    void ShowNotification(const CString& subject, const CString& timeText, COLORREF color) override;
    // Hides the label (and stops its timer) and nothing else.
    void HideNotification() override;
    // Timer 1: the label's time is up.
    void OnTimer(UINT id);
    // The geometry of the views' area in the window.
    QRect ViewArea() const;

    // The parts, for the tests and the screenshots.
    CEToolBar* ContentBar() const { return m_contentBar; }
    CEToolBar* NavigationBar() const { return m_navBar; }
    CCeCommandBarExp* CommandBar() const { return m_commandBar; }
    CZUDateTimeCtrl* DateControl() const { return m_date; }
    CLabel* NotificationLabel() const { return m_label; }
    QTimer* NotificationTimer() { return &m_labelTimer; }
    // The image buttons: day, week, month, style, contacts, then the four content toggles.
    CCeButtonST* ImageButton(int index) const;
    // The bitmap each image button shows now (0 for none).
    UINT ImageButtonBitmap(int index) const { return m_buttonBitmaps.at(index); }

    // ICalendarFrame.
    QObject* ViewFor(int type, int style) override;
    QObject* ActiveView() override;
    void SwitchView(int type, int style) override;
    void SetCaption(const CString& text, COLORREF color, const SYSTEMTIME& date) override;
    void SetWindowTitle(const CString& title) override;
    void CloseDateDropDown() override;
    void SetCategoryButtonText(const CString& text) override;
    void SetViewTypeButtons(int type) override;
    void SetStyleButton(int style) override;
    void SetContentButtons(DWORD contents) override;
    void HideLeftScrollBar() override;
    void SetListBigFont(bool big) override;
    void InvalidateListView() override;
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>& items) override;
    bool RunCategorySheet(std::vector<int>& indexes) override;
    void RunRecordEditor(int kind, const SYSTEMTIME& date, bool anniversary) override;
    void ShowOptions() override;
    DWORD MainWindowHandle() override;
    void OpenRecordCard(int selector, DWORD oid, const FILETIME& start) override;
    QScrollBar* LeftScrollBar() override;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    enum { BTN_DAY = 0, BTN_WEEK, BTN_MONTH, BTN_STYLE, BTN_CONTACTS, BTN_APPOINTMENTS,
           BTN_ANNIVERSARIES, BTN_TASKS, BTN_RECURRING, BTN_COUNT };

    bool CreateCommandBar();
    bool CreateContentBar();
    bool CreateNavigationBar();
    CCeButtonST* MakeImageButton(QWidget* bar, UINT id, QRect rect);
    void SetButtonBitmap(int index, UINT bitmap);
    void RecalcLayout();
    template <class View>
    View* MakeView(View*& view);
    void ScheduleReload();
    void ShowGraphicNotice();
    void Shutdown();

    CZuCalendarDoc* m_doc;
    CZuCalendarView* m_listView = nullptr;
    CZuDayView* m_dayView = nullptr;  // the graphic views, made on first use
    CZuWeekView* m_weekView = nullptr;
    CZuMonthView* m_monthView = nullptr;
    QPointer<QWidget> m_current;
    QScrollBar* m_leftScroll = nullptr;
    std::array<CCeButtonST*, BTN_COUNT> m_buttons{};
    std::array<UINT, BTN_COUNT> m_buttonBitmaps{};
    CCeCommandBarExp* m_commandBar = nullptr;
    CEToolBar* m_contentBar = nullptr;
    CEToolBar* m_navBar = nullptr;
    CLabel* m_label = nullptr;
    CZUDateTimeCtrl* m_date = nullptr;
    std::unique_ptr<CZuImageList> m_navImages;
    std::unique_ptr<CZuImageList> m_menuImages;
    QTimer m_labelTimer;
    std::array<CCeDBDatabase, 4> m_databases;
    bool m_contentBarShown = true;
    bool m_graphicStandIn = false;
    bool m_reloadPending = false;
    bool m_shutDown = false;
    bool m_initialised = false;
};
