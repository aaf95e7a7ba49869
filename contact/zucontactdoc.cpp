#include "zucontactdoc.h"

#include "lasterror.h"
#include "messagebox.h"
#include "pimstore.h"
#include "programstart.h"
#include "recordlayouts.h"
#include "registrykeys.h"
#include "stringtable.h"
#include "voregistry.h"

#include <algorithm>

namespace {

constexpr DWORD kMaxPairs = 32;
// More notified records than this in one turn read the whole list again: one walk is cheaper
// than as many single reads, and the order is rebuilt at once.
constexpr size_t kRefreshWhole = 64;

bool knownKind(DWORD kind)
{
    return kind == 0 || kind == 1 || kind == 2 || kind == 4 || kind == 8;
}

}  // namespace

CZuContactDoc::CZuContactDoc(bool persistent) : m_persistent(persistent)
{
    readSettings();
    m_options = GetContactOpt();
    m_leftScroll = GetGeneralOpt().bLeftScrollFlag;
    CVORegistry pims(HKEY_CURRENT_USER, ZuReg::Pims, FALSE);
    m_installDir = pims.ReadString(ZuReg::InstallDir, nullptr);
}

CZuContactDoc::~CZuContactDoc()
{
    CloseDatabases();
    if (m_persistent)
        writeSettings();
}

void CZuContactDoc::readSettings()
{
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
    const DWORD kind = key.ReadDWORD(L"CatyType", 0);
    m_catyType = knownKind(kind) ? static_cast<int>(kind) : ZU_CON_ALL;
    m_catyStr = key.ReadString(L"CatyStr", ZuLoadString(ZuStr::AllGroups));
    if (kind != static_cast<DWORD>(m_catyType) || m_catyType == ZU_CON_ALL)
        m_catyStr = ZuLoadString(ZuStr::AllGroups);
    m_selection.clear();
    if (m_catyType != ZU_CON_ALL) {
        // A count beyond what the menu can ever have chosen is no selection at all.
        DWORD count = key.ReadDWORD(L"Category.nCount", 0);
        if (count > kMaxPairs)
            count = 0;
        for (DWORD i = 0; i < count; ++i) {
            CString name;
            name.Format(L"Category.CmdID.%d", static_cast<int>(i));
            const DWORD cmd = key.ReadDWORD(name, 0);
            name.Format(L"Category.Index.%d", static_cast<int>(i));
            const DWORD index = key.ReadDWORD(name, 0);
            if (index > 32767)
                continue;
            const UINT id = (cmd >= ZU_CON_CATY_NONE && cmd <= ZU_CON_CATY_LAST) ? cmd : 0;
            m_selection.push_back({id, static_cast<int>(index)});
        }
        // A kind that needs categories but has none left reads as "all".
        if ((m_catyType == ZU_CON_ONE || m_catyType == ZU_CON_SEVERAL) && m_selection.empty()) {
            m_catyType = ZU_CON_ALL;
            m_catyStr = ZuLoadString(ZuStr::AllGroups);
        }
    }
    m_recent.Parse(key.ReadString(L"RIL_RecordOID", L""), key.ReadString(L"RIL_SaveTime", L""));
}

void CZuContactDoc::writeSettings()
{
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
    key.WriteString(L"RIL_RecordOID", m_recent.OidText());
    key.WriteString(L"RIL_SaveTime", m_recent.TimeText());
    key.WriteDWORD(L"CatyType", static_cast<DWORD>(m_catyType));
    key.WriteString(L"CatyStr", m_catyStr);
    if (m_catyType == ZU_CON_ALL)
        return;
    key.WriteDWORD(L"Category.nCount", static_cast<DWORD>(m_selection.size()));
    for (size_t i = 0; i < m_selection.size(); ++i) {
        CString name;
        name.Format(L"Category.CmdID.%d", static_cast<int>(i));
        key.WriteDWORD(name, m_selection[i].cmdId);
        name.Format(L"Category.Index.%d", static_cast<int>(i));
        key.WriteDWORD(name, static_cast<DWORD>(m_selection[i].index));
    }
}

bool CZuContactDoc::OpenDatabases(QObject* notify)
{
    CCeDBProp byName(L"", ZUID_CON_FILE_AS);
    if (!m_contacts.Open(ZU_DB_CONTACTS, &byName, notify)) {
        m_openFailure = ZuLastErrorText();
        return false;
    }
    m_openFailure.Empty();
    return m_categories.Open(ZU_DB_CATEGORIES, nullptr, notify);
}

void CZuContactDoc::CloseDatabases()
{
    m_contacts.Close();
    m_categories.Close();
}

void CZuContactDoc::LoadList()
{
    const bool whole = m_model.Load(m_contacts);
    Rebuild();
    ReportRead(whole);
    if (m_frame)
        m_frame->SetCategoryText(m_catyStr);
}

void CZuContactDoc::OnRecordsChanged(const std::vector<CEOID>& oids)
{
    bool whole = true;
    if (oids.size() > kRefreshWhole) {
        whole = m_model.Load(m_contacts);
    } else {
        for (CEOID oid : oids)
            whole = m_model.Refresh(m_contacts, oid) && whole;
    }
    for (CEOID oid : oids)
        if (m_model.Find(oid) < 0)
            m_recent.Remove(oid);
    Rebuild();
    ReportRead(whole);
}

void CZuContactDoc::ReportRead(bool whole)
{
    if (whole) {
        m_readFailureShown.Empty();
        return;
    }
    CString failure = m_contacts.IsOpen() ? ZuLastErrorText() : m_openFailure;
    if (failure.IsEmpty())
        failure = L"the store cannot be read";
    if (failure == m_readFailureShown)
        return;
    m_readFailureShown = failure;
    MessageBox(nullptr, CString(L"저장된 주소록을 읽을 수 없습니다!\n\n") + failure, L"ZuContacts", MB_OK | MB_ICONERROR);
}

std::vector<CEOID> CZuContactDoc::recentOids() const
{
    std::vector<CEOID> out;
    for (const CRecentList::Entry& e : m_recent.Entries())
        out.push_back(e.oid);
    return out;
}

std::vector<BYTE> CZuContactDoc::SelectionBitmap() const
{
    std::vector<BYTE> bitmap;
    for (const ContactCategoryPair& p : m_selection)
        ZuBitmapSet(bitmap, p.index);
    return bitmap;
}

void CZuContactDoc::Rebuild()
{
    ++m_rebuilds;
    m_source = m_catyType == ZU_CON_ALL ? m_model.All() : m_model.Filter(m_catyType, SelectionBitmap(), recentOids());
    if (!m_search.isEmpty())
        m_target = m_model.Search(m_source, m_search, m_composing);
    else if (m_indexButton > 0)
        m_target = m_model.IndexButton(m_source, m_indexButton);
    else
        m_target = m_source;
    if (m_frame)
        m_frame->SetListCount(RowCount());
}

const ContactEntry* CZuContactDoc::Row(int row) const
{
    if (row < 0 || row >= RowCount())
        return nullptr;
    return &m_model.At(m_target[static_cast<size_t>(row)]);
}

void CZuContactDoc::SetSearch(const QString& text, bool composing)
{
    if (text == m_search && composing == m_composing)
        return;
    m_search = text;
    m_composing = composing && !text.isEmpty();
    if (!text.isEmpty())
        m_indexButton = 0;
    Rebuild();
}

void CZuContactDoc::IndexSelect(int button)
{
    m_indexButton = (button >= 1 && button <= 8) ? button : 0;
    const bool hadSearch = !m_search.isEmpty();
    m_search.clear();
    m_composing = false;
    if (hadSearch && m_frame)
        m_frame->SetSearchText(QString());
    Rebuild();
}

void CZuContactDoc::setFilter(int kind, const CString& text, std::vector<ContactCategoryPair> selection)
{
    m_catyType = kind;
    m_catyStr = text;
    m_selection = std::move(selection);
    m_indexButton = 0;
    const bool hadSearch = !m_search.isEmpty();
    m_search.clear();
    m_composing = false;
    if (m_frame) {
        if (hadSearch)
            m_frame->SetSearchText(QString());
        m_frame->SetCategoryText(m_catyStr);
    }
    Rebuild();
}

std::vector<ContactMenuItem> CZuContactDoc::CategoryMenu()
{
    std::vector<ContactMenuItem> items;
    items.push_back({ZU_CON_CATY_RECENT, CString(L"최근목록"), m_catyType == ZU_CON_RECENT});
    items.push_back({ZU_CON_CATY_ALL, ZuLoadString(ZuStr::AllGroups), m_catyType == ZU_CON_ALL});
    items.push_back({ZU_CON_CATY_NONE, ZuLoadString(ZuStr::NoGroup), m_catyType == ZU_CON_NO_CATEGORY});

    struct Used {
        CString name;
        int index;
        bool chosen;
    };
    std::vector<Used> used;
    CCeDBDatabase cats;
    if (cats.Open(ZU_DB_CATEGORIES)) {
        CCeDBRecord r;
        while (!cats.IsEOF() && cats.ReadCurrRecord(&r)) {
            const CCeDBProp* name = r.GetFullIdProp(ZUPID_CAT_NAME);
            const CCeDBProp* index = r.GetFullIdProp(ZUPID_CAT_INDEX);
            const CCeDBProp* count = r.GetFullIdProp(ZUPID_CAT_CONTACT_COUNT);
            if (!name || !index || !count || count->GetShort() < 1)
                continue;
            const int ix = static_cast<int>(index->GetShort());
            const bool chosen = std::any_of(m_selection.begin(), m_selection.end(),
                [&](const ContactCategoryPair& p) { return p.index == ix; });
            used.push_back({CString(name->GetString()), ix, chosen});
        }
    }
    // The chosen ones always get their place; the others fill what is left, in database order.
    size_t free = ZU_CON_CATY_LAST - ZU_CON_CATY_FIRST + 1;
    const size_t chosenCount = static_cast<size_t>(std::count_if(used.begin(), used.end(), [](const Used& u) { return u.chosen; }));
    size_t others = chosenCount < free ? free - chosenCount : 0;
    for (ContactCategoryPair& p : m_selection)
        p.cmdId = 0;
    UINT id = ZU_CON_CATY_FIRST;
    for (const Used& u : used) {
        if (id > ZU_CON_CATY_LAST)
            break;
        if (!u.chosen) {
            if (others == 0)
                continue;
            --others;
        }
        bool checked = false;
        if (u.chosen) {
            for (ContactCategoryPair& p : m_selection)
                if (p.index == u.index)
                    p.cmdId = id;
            checked = m_catyType == ZU_CON_ONE;
        }
        items.push_back({id++, u.name, checked});
    }
    items.push_back({ZU_CON_CATY_SEVERAL, ZuLoadString(ZuStr::MultiSelect), m_catyType == ZU_CON_SEVERAL});
    return items;
}

bool CZuContactDoc::ChooseCategory(UINT cmd, const CString& text)
{
    switch (cmd) {
    case ZU_CON_CATY_ALL:
        if (m_catyType == ZU_CON_ALL)
            break;
        setFilter(ZU_CON_ALL, ZuLoadString(ZuStr::AllGroups), {});
        return true;
    case ZU_CON_CATY_RECENT:
        if (m_catyType == ZU_CON_RECENT)
            break;
        setFilter(ZU_CON_RECENT, CString(L"최근목록"), {});
        return true;
    case ZU_CON_CATY_NONE:
        if (m_catyType == ZU_CON_NO_CATEGORY)
            break;
        setFilter(ZU_CON_NO_CATEGORY, ZuLoadString(ZuStr::NoGroup), {});
        return true;
    default: {
        if (cmd < ZU_CON_CATY_FIRST || cmd > ZU_CON_CATY_LAST)
            break;
        const int index = GetDBCategoryIndex(&m_categories, text);
        if (index < 0)  // the category went meanwhile: never keep a -1
            break;
        if (m_catyType == ZU_CON_ONE && m_selection.size() == 1 && m_selection[0].index == index)
            break;
        setFilter(ZU_CON_ONE, text, {{cmd, index}});
        return true;
    }
    }
    if (m_frame)
        m_frame->SetCategoryText(m_catyStr);
    return false;
}

void CZuContactDoc::ChooseSeveral(const std::vector<int>& indexes)
{
    std::vector<ContactCategoryPair> pairs;
    for (int ix : indexes)
        if (ix >= 0 && ix <= 32767)
            pairs.push_back({0, ix});
    if (pairs.size() >= 2)
        setFilter(ZU_CON_SEVERAL, ZuLoadString(ZuStr::MultiSelect), std::move(pairs));
    else if (pairs.size() == 1)
        setFilter(ZU_CON_ONE, GetDBCategoryName(pairs[0].index), std::move(pairs));
    else
        setFilter(m_catyType, m_catyStr, {});
}

CEOID CZuContactDoc::CopyContact(CEOID oid)
{
    CCeDBRecord r;
    if (!m_contacts.SeekToRecord(oid) || !m_contacts.ReadCurrRecord(&r))
        return 0;
    r.SetOid(0);
    const CEOID copy = m_contacts.WriteRecord(r, 0);
    if (!copy)
        return 0;
    if (CCeDBProp* cats = r.GetFullIdProp(ZUPID_CON_CATEGORIES)) {
        const CEBLOB blob = cats->GetBlob();
        AddCategoryRefByBlob(&blob, ZUID_CAT_CONTACT_COUNT);
    }
    m_model.Refresh(m_contacts, copy);
    Rebuild();
    return copy;
}

bool CZuContactDoc::DeleteContact(CEOID oid)
{
    if (!DeleteRecord(&m_contacts, oid, ZU_SEL_CONTACTS))
        return false;
    m_model.Remove(oid);
    m_recent.Remove(oid);
    Rebuild();
    return true;
}

bool CZuContactDoc::SetPreferredNumber(CEOID oid, WORD ident)
{
    CCeDBRecord r;
    r.SetOid(oid);
    CCeDBProp tag(static_cast<LONG>(MAKEPROPID(ident, CEVT_LPWSTR)), ZUID_CON_PREFERRED_NUMBER);
    r.AddProp(&tag);
    if (!m_contacts.WriteRecord(r, oid))
        return false;
    m_model.Refresh(m_contacts, oid);
    Rebuild();
    return true;
}

bool CZuContactDoc::StartCalendar(HWND own)
{
    const CString path = ZuMapProgramPath(m_installDir + L"\\ZuCalendar.exe");
    CString commandLine;
    commandLine.Format(L"%ld", static_cast<long>(own));
    if (ZuStartProgram(path, commandLine))
        return true;
    MessageBox(nullptr, L"일정 프로그램을 실행할 수 없습니다!", L"ZuContacts", MB_OK | MB_ICONERROR);
    return false;
}

bool CZuContactDoc::OnOptionChanged(WPARAM code, LPARAM value)
{
    const bool on = value != 0;
    switch (code) {
    case OPTCODE_LEFT_SCROLL:
        if (m_leftScroll != on)
            m_layoutDirty = true;
        m_leftScroll = on;
        return true;
    case OPTCODE_CONTACT_QUICKSEARCH:
        m_options.bShowQuickSearchBar = on;
        return true;
    case OPTCODE_CONTACT_BIGFONT:
        m_options.bBigFontFlag = on;
        return true;
    case OPTCODE_CONTACT_MULTILINE:
        m_options.bShowMultiLine = on;
        return true;
    case OPTCODE_CONTACT_NAMEONLY:
        m_options.bShowNameOnly = on;
        return false;
    default:
        return false;
    }
}
