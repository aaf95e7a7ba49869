#include "note.h"

#include "bitmap.h"
#include "cedbdatabase.h"
#include "pimstore.h"
#include "popupmenu.h"
#include "widgets/inkxloader.h"
#include "widgets/propertysheet.h"
#include "windowmessage.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace {

// The page's texts, all in one place.
const CString kCaption = L"메모";

struct Choice {
    UINT id;
    const wchar_t* text;
    int value;
};
const Choice kPenModes[] = {{ID_PEN_DRAW, L"그리기", 0}, {ID_PEN_SELECT, L"객체선택", 1}, {ID_PEN_SPACE, L"공백삽입", 2}};
const Choice kLines[] = {{ID_LINES_GRID, L"격자", INK_LINES_GRID},
                         {ID_LINES_RULED, L"실선", INK_LINES_RULED},
                         {ID_LINES_DOTTED, L"점선", INK_LINES_DOTTED},
                         {ID_LINES_NONE, L"평면", INK_LINES_NONE}};
const Choice kZooms[] = {{ID_ZOOM_75, L"75%", 75}, {ID_ZOOM_100, L"100%", 100}, {ID_ZOOM_150, L"150%", 150},
                         {ID_ZOOM_200, L"200%", 200}, {ID_ZOOM_300, L"300%", 300}};
const Choice kEdits[] = {{ID_NOTE_CUT, L"잘라내기", 0}, {ID_NOTE_COPY, L"복사하기", 0}, {ID_NOTE_PASTE, L"붙  이 기", 0},
                         {ID_NOTE_CLEAR, L"지  우 기", 0}, {ID_NOTE_SELALL, L"모두선택", 0}};
// Menu 157's sub-menus in order: "팬모드", "라인", "줌", "편집".
enum { kPenMenu = 0, kLinesMenu = 1, kZoomMenu = 2, kEditMenu = 3 };

template <size_t N>
std::vector<ZuMenuEntry> menuOf(const Choice (&choices)[N])
{
    std::vector<ZuMenuEntry> entries;
    for (const Choice& c : choices)
        entries.push_back({c.id, CString(c.text)});
    return entries;
}

template <size_t N>
const Choice* choiceOf(const Choice (&choices)[N], UINT id)
{
    for (const Choice& c : choices)
        if (c.id == id)
            return &c;
    return nullptr;
}

constexpr int kBarHeight = 25;
const COLORREF kBarColour = RGB(215, 215, 215);

} // namespace

CNote::CNote() : CPropertyPage(IDD_NOTE, kCaption)
{
    m_menus[kPenMenu] = menuOf(kPenModes);
    m_menus[kLinesMenu] = menuOf(kLines);
    m_menus[kZoomMenu] = menuOf(kZooms);
    m_menus[kEditMenu] = menuOf(kEdits);
    Check(kPenMenu, m_penCmd);
    Check(kLinesMenu, m_linesCmd);
    Check(kZoomMenu, m_zoomCmd);
}

CNote::~CNote() = default;

BOOL CNote::SetEventData(DWORD oid, int selector)
{
    m_oid = oid;
    m_selector = selector;
    m_noteLoaded = LoadNote();
    return m_noteLoaded;
}

BOOL CNote::LoadNote()
{
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, m_selector) || !db.SeekToRecord(m_oid) || !db.ReadCurrRecord(&record))
        return FALSE;
    const std::vector<BYTE> bytes = ZuRecordBytes(record, ZUID_APT_NOTE);
    if (bytes.empty())
        return FALSE;
    m_note = QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return TRUE;
}

int CNote::GetNoteBlob(CEBLOB* blob)
{
    if (!blob)
        return 0;
    if (blob->lpb)
        LocalFree(blob->lpb);
    blob->lpb = nullptr;
    blob->dwCount = 0;
    if (!m_note.isEmpty()) {
        blob->lpb = static_cast<LPBYTE>(LocalAlloc(0, static_cast<size_t>(m_note.size())));
        if (!blob->lpb)
            return 0;
        std::memcpy(blob->lpb, m_note.constData(), static_cast<size_t>(m_note.size()));
        blob->dwCount = static_cast<DWORD>(m_note.size());
    }
    return 1;
}

BOOL CNote::OnApply()
{
    SaveNote();
    return CPropertyPage::OnApply();
}

BOOL CNote::SaveNote()
{
    if (!m_ink)
        return FALSE;
    const LRESULT size = SendInk(INKM_GETDATASIZE);
    if (size < 0)
        return FALSE;  // no data to take: the note stays
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (size > 0 && SendInk(INKM_GETDATA, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(bytes.data())) != size)
        return FALSE;
    m_note = bytes;  // size 0: an empty note, which clears the stored one
    return TRUE;
}

BOOL CNote::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitInkX();
    InitToolBar();
    Layout(width(), height());
    return TRUE;
}

BOOL CNote::InitInkX()
{
    if (!ZuInkXAvailable())
        return FALSE;
    m_ink = ZuCreateInkWindow(this, false);
    if (!m_ink)
        return FALSE;
    if (m_noteLoaded)
        SendInk(INKM_SETDATA, static_cast<WPARAM>(m_note.size()), reinterpret_cast<LPARAM>(m_note.constData()));
    return TRUE;
}

BOOL CNote::InitToolBar()
{
    m_bar = new CCeCommandBarEx(this, IDC_NOTE_TOOLBAR);
    m_bar->SetBkColor(kBarColour);
    const int b = m_images.Add(ZuLoadBitmap(IDB_NOTE_TOOLBAR, ZuModule::CompLib), RGB(255, 255, 255));
    const int e = m_images.Add(ZuLoadBitmap(IDB_NOTE_EDIT, ZuModule::CompLib), RGB(255, 255, 255));
    if (b < 0 || e < 0)
        return FALSE;
    m_bar->SetImageList(&m_images);
    m_bar->AddButton(ID_NOTE_VOICEBAR, b);
    m_bar->AddButton(ID_NOTE_PEN, b + 1);
    m_bar->AddSeparator();
    m_bar->AddButton(ID_NOTE_MENU_PEN, b + 2, TBSTYLE_DROPDOWN);
    m_bar->AddButton(ID_NOTE_MENU_LINES, b + 3, TBSTYLE_DROPDOWN);
    m_bar->AddButton(ID_NOTE_MENU_ZOOM, b + 4, TBSTYLE_DROPDOWN);
    m_bar->AddSeparator();
    m_bar->AddButton(ID_NOTE_MENU_EDIT, e, TBSTYLE_DROPDOWN);
    return TRUE;
}

void CNote::Layout(int w, int h)
{
    const bool bar = m_toolbarShown && m_bar;
    if (m_ink)
        m_ink->setGeometry(0, 0, w, bar ? h - kBarHeight : h);
    if (m_bar) {
        m_bar->setGeometry(0, h - kBarHeight, w, kBarHeight);
        m_bar->setVisible(bar && isVisible());
    }
}

void CNote::resizeEvent(QResizeEvent* e)
{
    CPropertyPage::resizeEvent(e);
    Layout(e->size().width(), e->size().height());
}

void CNote::showEvent(QShowEvent* e)
{
    CPropertyPage::showEvent(e);
    Layout(width(), height());
}

void CNote::hideEvent(QHideEvent* e)
{
    CPropertyPage::hideEvent(e);
    if (m_bar)
        m_bar->hide();
}

CEToolBar* CNote::SheetBar() const
{
    CPropertySheet* sheet = GetSheet();
    return sheet ? qobject_cast<CEToolBar*>(sheet->GetCommandBar()) : nullptr;
}

BOOL CNote::OnSetActive()
{
    SetTabText(kCaption);
    if (CEToolBar* bar = SheetBar()) {
        bar->HideButton(ID_SHEET_NOTE_VOICE, FALSE);
        bar->HideButton(ID_SHEET_SHOW_TOOLBAR, FALSE);
        bar->PressButton(ID_SHEET_SHOW_TOOLBAR, m_toolbarShown);
    }
    if (m_bar && m_toolbarShown)
        m_bar->show();
    SetPenModeButton(m_penOn);
    SetVoiceBar(m_voiceBar);
    SendViewAttr(INKVA_BIT8 | INKVA_BIT4);
    OnBglinesMenuCmd(m_linesCmd);
    OnZoomMenuCmd(m_zoomCmd);
    return CPropertyPage::OnSetActive();
}

BOOL CNote::OnKillActive()
{
    SetTabText(CString());
    if (CEToolBar* bar = SheetBar()) {
        bar->HideButton(ID_SHEET_NOTE_VOICE, TRUE);
        bar->HideButton(ID_SHEET_SHOW_TOOLBAR, TRUE);
    }
    if (m_bar)
        m_bar->hide();
    return CPropertyPage::OnKillActive();
}

// --- commands ---

bool CNote::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_COMMAND) {
            OnCommand(LOWORD(static_cast<DWORD>(m->wParam())));
            m->setResult(0);
            return true;
        }
        if (m->message() == WM_NOTE_SHOWTOOLBAR) {
            OnShowToolbar(m->wParam() != 0);
            m->setResult(0);
            return true;
        }
    }
    return CPropertyPage::event(e);
}

void CNote::OnCommand(UINT id)
{
    if (id >= ID_PEN_DRAW && id <= ID_PEN_SPACE)
        return OnPenModeMenuCmd(id);
    if (id >= ID_LINES_GRID && id <= ID_LINES_NONE)
        return OnBglinesMenuCmd(id);
    if (id >= ID_ZOOM_75 && id <= ID_ZOOM_300)
        return OnZoomMenuCmd(id);
    switch (id) {
    case ID_NOTE_PEN: return OnButtonPen();
    case ID_NOTE_VOICEBAR: return OnButtonVoicebar();
    case ID_SHEET_SHOW_TOOLBAR: return OnButtonShowToolbar();
    case ID_NOTE_MENU_PEN: return ShowMenu(id, kPenMenu);
    case ID_NOTE_MENU_LINES: return ShowMenu(id, kLinesMenu);
    case ID_NOTE_MENU_ZOOM: return ShowMenu(id, kZoomMenu);
    case ID_NOTE_MENU_EDIT: return OnEditMenuCmd();
    case ID_NOTE_CUT: return OnEditCut();
    case ID_NOTE_COPY: return OnEditCopy();
    case ID_NOTE_PASTE: return OnEditPaste();
    case ID_NOTE_CLEAR: return OnEditClear();
    case ID_NOTE_SELALL: return OnEditSelAll();
    default: return;
    }
}

void CNote::ShowMenu(UINT button, int menu)
{
    QPoint at = mapToGlobal(QPoint(0, height() - kBarHeight));
    if (m_bar)
        at = m_bar->mapToGlobal(m_bar->GetItemRect(m_bar->CommandToIndex(button)).topLeft());
    const UINT chosen = ZuPopupMenu(this, m_menus[menu], at, ZuMenuAnchor::BottomLeft);
    if (chosen)
        OnCommand(chosen);
}

void CNote::Check(int menu, UINT id)
{
    for (ZuMenuEntry& entry : m_menus[menu])
        entry.checked = entry.id == id;
}

LRESULT CNote::SendInk(UINT message, WPARAM wp, LPARAM lp)
{
    if (!m_ink)
        return 0;
    ZuMessageEvent e(message, wp, lp);
    QCoreApplication::sendEvent(m_ink, &e);
    return e.result();
}

void CNote::OnButtonPen()
{
    m_penOn = !m_penOn;
    SetPenModeButton(m_penOn);
}

void CNote::SetPenModeButton(BOOL on)
{
    if (m_bar) {
        m_bar->PressButton(ID_NOTE_PEN, on);
        m_bar->HideButton(ID_NOTE_MENU_PEN, !on);
        m_bar->EnableButton(ID_NOTE_MENU_PEN, on);
    }
    const UINT keep = m_penCmd;
    OnPenModeMenuCmd(on ? m_penCmd : ID_PEN_SELECT);
    if (!on)
        m_penCmd = keep;  // pen on again goes back to the last mode
}

void CNote::OnPenModeMenuCmd(UINT id)
{
    const Choice* c = choiceOf(kPenModes, id);
    if (!c)
        return;
    m_penCmd = id;
    m_penMode = c->value;
    SendInk(INKM_SETPENMODE, static_cast<WPARAM>(m_penMode));
    Check(kPenMenu, id);
}

void CNote::OnBglinesMenuCmd(UINT id)
{
    const Choice* c = choiceOf(kLines, id);
    if (!c)
        return;
    m_linesCmd = id;
    m_lines = c->value;
    SendViewAttr(INKVA_LINES);
    Check(kLinesMenu, id);
}

void CNote::OnZoomMenuCmd(UINT id)
{
    const Choice* c = choiceOf(kZooms, id);
    if (!c)
        return;
    m_zoomCmd = id;
    m_zoom = c->value;
    SendViewAttr(INKVA_ZOOM);
    Check(kZoomMenu, id);
}

void CNote::SendViewAttr(LONG mask)
{
    const INKVIEWATTR attr{mask, 2, m_zoom, m_lines, 0, 0};
    SendInk(INKM_SETVIEWATTR, 0, reinterpret_cast<LPARAM>(&attr));
}

void CNote::OnButtonVoicebar()
{
    m_voiceBar = !m_voiceBar;
    SetVoiceBar(m_voiceBar);
}

void CNote::SetVoiceBar(BOOL on)
{
    if (m_bar)
        m_bar->PressButton(ID_NOTE_VOICEBAR, on);
    SendInk(INKM_SHOWVOICEBAR, on ? 1 : 0);
}

void CNote::OnShowToolbar(BOOL show)
{
    m_toolbarShown = show;
    Layout(width(), height());
}

void CNote::OnButtonShowToolbar()
{
    m_toolbarShown = !m_toolbarShown;
    if (CEToolBar* bar = SheetBar())
        bar->PressButton(ID_SHEET_SHOW_TOOLBAR, m_toolbarShown);
    Layout(width(), height());
}

// --- editing ---

void CNote::OnEditMenuCmd()
{
    // Cut, copy and clear need a selection; paste needs ink or text on the clipboard.
    const bool selection = SendInk(ZU_EM_GETSEL) != 0;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const bool pasteable =
        mime && (mime->hasFormat(QString::fromLatin1(INK_CLIPBOARD_FORMAT)) || (mime->hasText() && !mime->text().isEmpty()));
    for (ZuMenuEntry& entry : m_menus[kEditMenu]) {
        if (entry.id == ID_NOTE_CUT || entry.id == ID_NOTE_COPY || entry.id == ID_NOTE_CLEAR)
            entry.enabled = m_ink && selection;
        else if (entry.id == ID_NOTE_PASTE)
            entry.enabled = m_ink && pasteable;
        else
            entry.enabled = m_ink != nullptr;
    }
    ShowMenu(ID_NOTE_MENU_EDIT, kEditMenu);
}

void CNote::OnEditCut() { SendInk(ZU_WM_CUT); }
void CNote::OnEditCopy() { SendInk(ZU_WM_COPY); }
void CNote::OnEditPaste() { SendInk(ZU_WM_PASTE); }
void CNote::OnEditClear() { SendInk(ZU_WM_CLEAR); }
void CNote::OnEditSelAll() { SendInk(ZU_EM_SETSEL, 0, -1); }
