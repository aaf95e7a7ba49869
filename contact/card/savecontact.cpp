#include "savecontact.h"

#include "contactdata.h"
#include "contactrules.h"
#include "pimstore.h"
#include "recordlayouts.h"

#include <vector>

namespace {

// The property to write for a managed slot, or a delete of the stored one when the slot is empty.
struct Writer {
    const CCeDBRecord& stored;
    CCeDBRecord out;
    std::vector<WORD> emptied;

    void value(const CCeDBProp& prop) { out.AddProp(&prop); }
    void empty(WORD ident)
    {
        if (const CCeDBProp* old = stored.GetIdProp(ident)) {
            CCeDBProp gone = *old;
            gone.SetFlags(CEDB_PROPDELETE);
            out.AddProp(&gone);
            emptied.push_back(ident);
        }
    }
    void bytes(WORD ident, const std::vector<BYTE>& b)
    {
        if (b.empty())
            return empty(ident);
        const CEBLOB blob = ZuBlobOf(b);
        value(CCeDBProp(blob, ident));
    }
    void text(WORD ident, const CString& s)
    {
        if (s.IsEmpty())
            return empty(ident);
        value(CCeDBProp(static_cast<const wchar_t*>(s), ident));
    }
};

}  // namespace

CEOID SaveContact(CEOID id, const CContactData& data)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CONTACTS))
        return 0;
    CCeDBRecord stored;
    if (id && !(db.SeekToRecord(id) && db.ReadCurrRecord(&stored) && stored.GetOid() == id)) {
        // A store that cannot be read is no reason to make a second copy of the contact.
        if (db.ReadFailed())
            return 0;
        // Deleted meanwhile elsewhere: the edits become a new contact.
        stored = CCeDBRecord();
        id = 0;
    }
    Writer w{stored, {}, {}};
    w.bytes(ZUID_CON_CATEGORIES, data.GetCategories());
    w.bytes(ZUID_CON_NOTE, data.GetNote());
    const struct {
        WORD date, lunar;
    } days[] = {{ZUID_CON_BIRTHDAY, ZUID_CON_BIRTHDAY_LUNAR}, {ZUID_CON_ANNIVERSARY, ZUID_CON_ANNIVERSARY_LUNAR}};
    for (const auto& d : days) {
        if (data.HasDate(d.date))
            w.value(CCeDBProp(data.GetDateValue(d.date), d.date));
        else
            w.empty(d.date);
        if (data.IsLunar(d.date))
            w.value(CCeDBProp(static_cast<short>(1), d.lunar));
        else
            w.empty(d.lunar);
    }
    const CString composed = [&] {
        CString name = ZuComposeDisplayName(data);
        name.TrimRight();
        return name;
    }();
    const bool hasParts = data.Has(ZUID_CON_TITLE) || data.Has(ZUID_CON_LAST_NAME) || data.Has(ZUID_CON_FIRST_NAME)
        || data.Has(ZUID_CON_SUFFIX);
    const bool storeComposed = (data.IsNameEdited() || id == 0) && hasParts;
    for (const WORD ident : CContactData::kStringProps)
        w.text(ident, ident == ZUID_CON_FILE_AS && storeComposed ? composed : data.GetString(ident));
    // The preferred number goes with the number it names.
    const LONG preferred = static_cast<LONG>(ZuRecordInt(stored, ZUID_CON_PREFERRED_NUMBER));
    for (const WORD gone : w.emptied)
        if (preferred && static_cast<WORD>(static_cast<ULONG>(preferred) >> 16) == gone)
            w.empty(ZUID_CON_PREFERRED_NUMBER);

    const std::vector<BYTE> oldBitmap = ZuRecordBytes(stored, ZUID_CON_CATEGORIES);
    ZuStoreBatch batch;
    const CEOID oid = db.WriteRecord(w.out, id);
    if (!oid)
        return 0;
    if (!oldBitmap.empty()) {
        const CEBLOB blob = ZuBlobOf(oldBitmap);
        if (!ReleaseCategoryRefByBlob(&blob, ZUID_CAT_CONTACT_COUNT))
            return 0;
    }
    if (!data.GetCategories().empty()) {
        const CEBLOB blob = ZuBlobOf(data.GetCategories());
        if (!AddCategoryRefByBlob(&blob, ZUID_CAT_CONTACT_COUNT))
            return 0;
    }
    if (batch.ok() && !batch.Commit())
        return 0;
    return oid;
}
