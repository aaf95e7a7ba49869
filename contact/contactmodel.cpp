#include "contactmodel.h"

#include "recordlayouts.h"

#include <algorithm>

namespace {

constexpr char16_t kSyllableFirst = 0xAC00;
constexpr char16_t kSyllableLast = 0xD7A3;
constexpr int kVowels = 21, kFinals = 28;

// Compatibility jamo of the 19 initial consonants, in the syllables' order.
constexpr char16_t kInitials[19] = {0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141, 0x3142, 0x3143, 0x3145,
    0x3146, 0x3147, 0x3148, 0x3149, 0x314A, 0x314B, 0x314C, 0x314D, 0x314E};
// Compatibility jamo of the 27 final consonants (index 1 to 27); 0 for a final that is no initial.
constexpr char16_t kFinalsJamo[28] = {0, 0x3131, 0x3132, 0x3133, 0x3134, 0x3135, 0x3136, 0x3137, 0x3139, 0x313A,
    0x313B, 0x313C, 0x313D, 0x313E, 0x313F, 0x3140, 0x3141, 0x3142, 0x3144, 0x3145, 0x3146, 0x3147, 0x3148, 0x314A,
    0x314B, 0x314C, 0x314D, 0x314E};

bool isSyllable(char16_t c) { return c >= kSyllableFirst && c <= kSyllableLast; }
int syllableInitial(char16_t c) { return (c - kSyllableFirst) / (kVowels * kFinals); }
int syllableVowel(char16_t c) { return ((c - kSyllableFirst) / kFinals) % kVowels; }
int syllableFinal(char16_t c) { return (c - kSyllableFirst) % kFinals; }
int initialOfJamo(char16_t c)
{
    for (int i = 0; i < 19; ++i)
        if (kInitials[i] == c)
            return i;
    return -1;
}

// A syllable being composed, `t`, against the name's syllable `n` (and the one after it, `next`).
bool composingMatches(char16_t t, char16_t n, char16_t next)
{
    if (!isSyllable(t) || !isSyllable(n))
        return false;
    if (syllableInitial(t) != syllableInitial(n) || syllableVowel(t) != syllableVowel(n))
        return false;
    const int tf = syllableFinal(t), nf = syllableFinal(n);
    if (tf == 0 || tf == nf)
        return true;
    // "김" being typed may still turn into "기" + "미...": its final moves on to the next syllable.
    if (nf == 0 && isSyllable(next))
        return kFinalsJamo[tf] != 0 && kInitials[syllableInitial(next)] == kFinalsJamo[tf];
    return false;
}

}  // namespace

const std::vector<ContactNumberKind>& ZuContactNumberKinds()
{
    static const std::vector<ContactNumberKind> kinds = {
        {ZUID_CON_WORK_TEL, L'w', L"Work Tel"}, {ZUID_CON_WORK_TEL2, L'w', L"Work2 #"},
        {ZUID_CON_HOME_TEL, L'h', L"Home Tel"}, {ZUID_CON_HOME_TEL2, L'h', L"Home2 #"},
        {ZUID_CON_MOBILE_TEL, L'm', L"Mobile Tel"}, {ZUID_CON_PAGER, L'p', L"Pager"},
        {ZUID_CON_CAR_TEL, L'c', L"Car Tel"}, {ZUID_CON_WORK_FAX, L'f', L"Work Fax"},
        {ZUID_CON_EMAIL, L'e', L"E-mail"},
    };
    return kinds;
}

int ZuContactNumber(const CCeDBRecord& record, CString* number, wchar_t* marker)
{
    *number = CString();
    *marker = 0;
    const auto& kinds = ZuContactNumberKinds();
    auto text = [&](WORD ident) -> const wchar_t* {
        const CCeDBProp* p = record.GetFullIdProp(MAKEPROPID(ident, CEVT_LPWSTR));
        return p ? p->GetString() : nullptr;
    };
    int chosen = -1;
    if (const CCeDBProp* preferred = record.GetFullIdProp(ZUPID_CON_PREFERRED_NUMBER)) {
        const DWORD tag = static_cast<DWORD>(preferred->GetLong());
        for (size_t i = 0; i < kinds.size(); ++i)
            if (tag == MAKEPROPID(kinds[i].ident, CEVT_LPWSTR))
                chosen = static_cast<int>(i);
        if (chosen < 0)
            return -1;
    } else {
        for (size_t i = 0; i < kinds.size() && chosen < 0; ++i) {
            const wchar_t* t = text(kinds[i].ident);
            if (t && *t)
                chosen = static_cast<int>(i);
        }
        if (chosen < 0)
            return -1;
    }
    const wchar_t* t = text(kinds[static_cast<size_t>(chosen)].ident);
    *number = CString(t);
    *marker = kinds[static_cast<size_t>(chosen)].marker;
    return chosen;
}

bool ZuNameMatches(const QString& upperName, const QString& upperText, bool composing)
{
    const qsizetype n = upperText.size();
    if (n > upperName.size())
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t t = upperText[i].unicode(), c = upperName[i].unicode();
        if (t == c)
            continue;
        const int initial = initialOfJamo(t);
        if (initial >= 0 && isSyllable(c) && syllableInitial(c) == initial)
            continue;
        if (composing && i == n - 1
            && composingMatches(t, c, i + 1 < upperName.size() ? upperName[i + 1].unicode() : char16_t(0)))
            continue;
        return false;
    }
    return true;
}

bool ZuIndexRange(int button, QString* low, QString* high)
{
    static const char16_t bounds[9][2] = {{0, 0}, {u'가', u'다'}, {u'다', u'마'}, {u'마', u'사'}, {u'사', u'자'},
        {u'자', u'카'}, {u'카', u'힣'}, {u'A', u'~'}, {u' ', u'A'}};
    if (button < 1 || button > 8)
        return false;
    *low = QString(QChar(bounds[button][0]));
    *high = QString(QChar(bounds[button][1]));
    return true;
}

ContactEntry CContactModel::MakeEntry(const CCeDBRecord& record)
{
    ContactEntry e;
    e.oid = record.GetOid();
    if (const CCeDBProp* name = record.GetFullIdProp(ZUPID_CON_FILE_AS))
        e.name = QString::fromWCharArray(name->GetString());
    e.upper = e.name.toUpper();
    CString number;
    ZuContactNumber(record, &number, &e.marker);
    e.number = number.toQString();
    if (const CCeDBProp* cats = record.GetFullIdProp(ZUPID_CON_CATEGORIES)) {
        const CEBLOB blob = const_cast<CCeDBProp*>(cats)->GetBlob();
        if (blob.lpb && blob.dwCount)
            e.categories.assign(blob.lpb, blob.lpb + blob.dwCount);
    }
    return e;
}

bool CContactModel::lessThan(const ContactEntry& a, const ContactEntry& b)
{
    if (a.upper.isEmpty() != b.upper.isEmpty())
        return b.upper.isEmpty();
    const int c = QString::compare(a.upper, b.upper, Qt::CaseSensitive);
    return c != 0 ? c < 0 : a.oid < b.oid;
}

bool CContactModel::Load(CCeDBDatabase& contacts)
{
    m_entries.clear();
    if (!contacts.IsOpen())
        return false;
    m_entries.reserve(contacts.GetRecordCount());
    CCeDBRecord record;
    contacts.SeekFirst();
    while (!contacts.IsEOF()) {
        if (!contacts.ReadCurrRecord(&record))
            break;
        m_entries.push_back(MakeEntry(record));
    }
    const bool whole = !contacts.ReadFailed();
    // The store's walk is nearly in this order already; the sort settles the rule above.
    std::stable_sort(m_entries.begin(), m_entries.end(), lessThan);
    return whole;
}

int CContactModel::Find(CEOID oid) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].oid == oid)
            return static_cast<int>(i);
    return -1;
}

void CContactModel::Remove(CEOID oid)
{
    const int at = Find(oid);
    if (at >= 0)
        m_entries.erase(m_entries.begin() + at);
}

bool CContactModel::Refresh(CCeDBDatabase& contacts, CEOID oid)
{
    Remove(oid);
    CCeDBRecord record;
    if (!contacts.IsOpen())
        return false;
    if (!contacts.SeekToRecord(oid))
        return !contacts.ReadFailed();  // gone: deleted by someone
    if (!contacts.ReadCurrRecord(&record))
        return false;
    ContactEntry e = MakeEntry(record);
    auto at = std::upper_bound(m_entries.begin(), m_entries.end(), e, lessThan);
    m_entries.insert(at, std::move(e));
    return true;
}

std::vector<int> CContactModel::All() const
{
    std::vector<int> out(m_entries.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int>(i);
    return out;
}

std::vector<int> CContactModel::Filter(int kind, const std::vector<BYTE>& filter, const std::vector<CEOID>& recent) const
{
    std::vector<int> out;
    if (kind == 8) {
        for (CEOID oid : recent) {
            const int at = Find(oid);
            if (at >= 0)
                out.push_back(at);
        }
        return out;
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const std::vector<BYTE>& cats = m_entries[i].categories;
        bool pass = false;
        if (kind == 1) {
            pass = std::all_of(cats.begin(), cats.end(), [](BYTE b) { return b == 0; });
        } else if (kind == 2 || kind == 4) {
            const size_t n = std::min(cats.size(), filter.size());
            for (size_t b = 0; b < n && !pass; ++b)
                pass = (cats[b] & filter[b]) != 0;
        } else {
            pass = true;
        }
        if (pass)
            out.push_back(static_cast<int>(i));
    }
    return out;
}

std::vector<int> CContactModel::Search(const std::vector<int>& source, const QString& text, bool composing) const
{
    const QString upper = text.toUpper();
    std::vector<int> out;
    for (int i : source) {
        const ContactEntry& e = m_entries[static_cast<size_t>(i)];
        if (!e.upper.isEmpty() && ZuNameMatches(e.upper, upper, composing))
            out.push_back(i);
    }
    return out;
}

std::vector<int> CContactModel::IndexButton(const std::vector<int>& source, int button) const
{
    QString low, high;
    if (!ZuIndexRange(button, &low, &high))
        return source;
    std::vector<int> out;
    for (int i : source) {
        const QString& s = m_entries[static_cast<size_t>(i)].upper;
        if (QString::compare(s, low) >= 0 && QString::compare(s, high) < 0)
            out.push_back(i);
    }
    return out;
}
