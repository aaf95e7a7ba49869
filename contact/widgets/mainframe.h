// mainframe.h - the contacts program's main window ("ZuContacts").
//
// Layout, in logical pixels (240 wide):
// - the tool bar along the top, 24 high: the category button 1000 (its caption the filter's
//   text, shortened with an ellipsis), the search box 1001 from x 114 to 214, 18 high, 2 below
//   the button's top, and the clear bitmap 1002, 16 x 16, 4 right of the box;
// - the index header 1003 at y 24, 18 high, nine items (covered by the list while the
//   quick-search bar option is off);
// - the list from y 42 (bar shown) or 24 down to the menu bar; with left-handed scrolling and
//   rows that overflow, the left bar 1004 at x 0 and the list moved 12 to the right;
// - the menu bar along the bottom, 26 high: "도구" (32773), the new-contact button 32771 and the
//   calendar button 32775 at x 75, y 4, 16 x 16.
//
// A tap on a row opens the contact (OpenContactCard), on its marker the preferred-number menu;
// a hold offers "Create Copy" and "Delete Contact" for the held row. The frame publishes its
// handle as "dwHWND" under "Contact" and clears it at the end only while it still holds its own.
#pragma once

#include "../zucontactdoc.h"

#include <QWidget>

class CContactSearchEdit;
class CIndexHeader;
class CZuContactView;
class QPushButton;
class QScrollBar;
class QToolButton;

class CMainFrame : public QWidget, public CContactFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 240, kHeight = 320, kToolBarHeight = 24, kHeaderHeight = 18, kMenuBarHeight = 26;

    explicit CMainFrame(CZuContactDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    BOOL Create();
    // The view's first update: closes a live window named on the command line, opens the
    // databases, reads the list and shows it.
    void InitialUpdate(const QStringList& arguments);

    void OnCommand(UINT id);
    void OpenContactCard(CEOID oid);
    void ShowCategoryMenu();
    // "다중선택...": the category sheet "주소록"; its OK hands the checked categories to the document.
    void RunCategorySheet();
    void ShowPreferredMenu(int row);
    void ShowHoldMenu(int row);
    void RecalcLayout();

    CZuContactView* View() const { return m_view; }
    CZuContactDoc* Document() const { return m_doc; }
    CContactSearchEdit* SearchEdit() const { return m_search; }
    HWND Handle() const { return m_handle; }

    // CContactFrame
    void SetListCount(int count) override;
    void SetCategoryText(const CString& text) override;
    void SetSearchText(const QString& text) override;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Shutdown();
    void OnRowTapped(int row);
    QRect ListArea() const;

    CZuContactDoc* m_doc;
    QPushButton* m_category = nullptr;
    CContactSearchEdit* m_search = nullptr;
    QToolButton* m_clear = nullptr;
    CIndexHeader* m_header = nullptr;
    QScrollBar* m_leftScroll = nullptr;
    CZuContactView* m_view = nullptr;
    QWidget* m_menuBar = nullptr;
    QPoint m_lastPress;
    HWND m_handle = 0;
    bool m_shutDown = false;
};
