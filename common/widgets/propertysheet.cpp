#include "propertysheet.h"

#include "messagebox.h"
#include "modaldialog.h"
#include "propertypage.h"
#include "stringtable.h"
#include "windowmessage.h"

#include <QTabBar>

#include <algorithm>

CPropertySheet::CPropertySheet(UINT captionId, ZuModule module, QWidget* parent, UINT selectPage)
    : CPropertySheet(ZuLoadString(captionId, module), parent, selectPage)
{
}

CPropertySheet::CPropertySheet(const CString& caption, QWidget* parent, UINT selectPage)
    : QDialog(parent), m_selectPage(selectPage)
{
    setWindowTitle(caption.toQString());
    setFixedWidth(kWidth);
    resize(kWidth, kHeight);
}

CPropertySheet::~CPropertySheet()
{
    DestroyWindow();
    for (auto& page : m_pages)
        if (page)
            page->m_sheet = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (!page || GetPageIndex(page) >= 0)
        return;
    if (page->m_sheet && page->m_sheet != this)
        page->m_sheet->ForgetPage(page);
    page->m_sheet = this;
    m_pages.emplace_back(page);
    if (m_tabs) {
        m_switching = true;
        m_tabs->addTab(page->GetCaption().toQString());
        m_switching = false;
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[index].data() : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    if (!page)
        return -1;
    for (int i = 0; i < GetPageCount(); ++i)
        if (m_pages[i] == page)
            return i;
    return -1;
}

void CPropertySheet::ForgetPage(CPropertyPage* page)
{
    const int index = GetPageIndex(page);
    if (index < 0)
        return;
    m_pages.erase(m_pages.begin() + index);
    if (m_tabs && index < m_tabs->count()) {
        m_switching = true;
        m_tabs->removeTab(index);
        m_switching = false;
    }
    if (m_active == index)
        m_active = -1;
    else if (m_active > index)
        --m_active;
    page->m_sheet = nullptr;
    page->m_hasWindow = FALSE;
}

BOOL CPropertySheet::SetActivePage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!m_running || !page)
        return FALSE;
    if (index == m_active)
        return TRUE;
    if (CPropertyPage* old = GetActivePage()) {
        if (!old->OnKillActive()) {
            if (m_tabs) {
                m_switching = true;
                m_tabs->setCurrentIndex(m_active);
                m_switching = false;
            }
            return FALSE;
        }
        old->hide();
    }
    m_active = index;
    if (m_tabs) {
        m_switching = true;
        m_tabs->setCurrentIndex(index);
        m_switching = false;
    }
    if (!page->m_hasWindow) {
        page->setParent(this);
        page->setGeometry(GetPageRect());
        page->m_hasWindow = TRUE;
        page->OnInitDialog();
    }
    page->setGeometry(GetPageRect());
    page->show();
    page->raise();
    page->OnSetActive();
    return TRUE;
}

void CPropertySheet::OnTabChanged(int index)
{
    if (m_switching)
        return;
    SetActivePage(index);
}

void CPropertySheet::ConnectTabs()
{
    connect(m_tabs, &QTabBar::currentChanged, this, &CPropertySheet::OnTabChanged);
}

void CPropertySheet::SubclassTabControl(QTabBar* tabs)
{
    if (!tabs || tabs == m_tabs)
        return;
    m_switching = true;
    tabs->setParent(this);
    tabs->setShape(QTabBar::RoundedSouth);
    tabs->setDrawBase(false);
    while (tabs->count())
        tabs->removeTab(0);
    if (m_tabs) {
        for (int i = 0; i < m_tabs->count(); ++i)
            tabs->addTab(m_tabs->tabIcon(i), m_tabs->tabText(i));
        tabs->setCurrentIndex(m_tabs->currentIndex());
        delete m_tabs;
    } else {
        for (auto& page : m_pages)
            tabs->addTab(page ? page->GetCaption().toQString() : QString());
    }
    m_tabs = tabs;
    m_switching = false;
    ConnectTabs();
    m_tabs->setVisible(m_tabsVisible);
    Layout();
}

void CPropertySheet::SetTabsVisible(bool visible)
{
    m_tabsVisible = visible;
    if (m_tabs)
        m_tabs->setVisible(visible);
    Layout();
}

void CPropertySheet::SetPageTabText(int index, const CString& text)
{
    if (m_tabs && index >= 0 && index < m_tabs->count())
        m_tabs->setTabText(index, text.toQString());
}

void CPropertySheet::SetCommandBar(QWidget* bar)
{
    if (bar == m_bar)
        return;
    delete m_bar;
    m_bar = bar;
    if (bar) {
        bar->setParent(this);
        bar->show();
    }
    Layout();
}

QRect CPropertySheet::GetPageRect() const
{
    int bottom = height();
    if (m_bar)
        bottom -= m_bar->height();
    if (m_tabs && m_tabsVisible)
        bottom -= m_tabs->sizeHint().height();
    return QRect(0, 0, width(), std::max(0, bottom));
}

void CPropertySheet::Layout()
{
    int bottom = height();
    if (m_bar) {
        bottom -= m_bar->height();
        m_bar->setGeometry(0, bottom, width(), m_bar->height());
    }
    if (m_tabs && m_tabsVisible) {
        const int h = m_tabs->sizeHint().height();
        bottom -= h;
        m_tabs->setGeometry(0, bottom, width(), h);
    }
    if (CPropertyPage* page = GetActivePage())
        page->setGeometry(GetPageRect());
}

void CPropertySheet::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    Layout();
}

BOOL CPropertySheet::OnInitDialog()
{
    if (!m_tabs) {
        auto* tabs = new QTabBar(this);
        SubclassTabControl(tabs);
    }
    return TRUE;
}

int CPropertySheet::DoModal()
{
    DestroyWindow();
    m_running = true;
    OnInitDialog();
    Layout();
    const int first = m_selectPage < static_cast<UINT>(GetPageCount()) ? static_cast<int>(m_selectPage) : 0;
    SetActivePage(first);
    const int result = ZuRunModal(this);
    DestroyWindow();
    return result;
}

void CPropertySheet::DestroyWindow()
{
    if (!m_running)
        return;
    OnDestroy();
    m_running = false;
    m_active = -1;
    for (auto& page : m_pages) {
        if (!page)
            continue;
        page->hide();
        page->setParent(nullptr);
        page->m_hasWindow = FALSE;
    }
    delete m_tabs;
    delete m_bar;
}

BOOL CPropertySheet::ApplyPages(bool alsoWithoutWindow)
{
    BOOL ok = TRUE;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page && (alsoWithoutWindow || page->HasWindow()) && !page->OnApply())
            ok = FALSE;
    }
    return ok;
}

void CPropertySheet::OnOK()
{
    if (CPropertyPage* page = GetActivePage(); page && !page->OnKillActive())
        return;
    ApplyPages();
    done(IDOK);
}

void CPropertySheet::reject()
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (CPropertyPage* page = GetPage(i); page && page->HasWindow())
            page->OnCancel();
    done(IDCANCEL);
}

BOOL CPropertySheet::OnCommand(WORD id, WORD)
{
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        reject();
        return TRUE;
    }
    return FALSE;
}

bool CPropertySheet::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_COMMAND) {
            const auto w = static_cast<DWORD>(m->wParam());
            if (OnCommand(LOWORD(w), HIWORD(w)))
                m->setResult(0);
            return true;
        }
    }
    return QDialog::event(e);
}
