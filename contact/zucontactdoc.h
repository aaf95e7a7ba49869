// zucontactdoc.h - the contacts program's document: options, the category filter, the recent
// list, the list held in memory and what the list shows.
//
// "The document decides; the frame shows": the view asks Target() for its rows and is told the
// count through the frame seam (CContactFrame). Settings live under <Pims>\Contact: read when the
// document is made (unknown values clamped: a kind other than 0, 1, 2, 4, 8 starts on "모든 그룹",
// at most 32 pairs, category indexes 0..32767), written when it goes.
//
// What the list shows: the source is the category filter's list; the target is the source
// narrowed by the search text when there is one, else by the last index button when one was
// pressed, else the source itself. A filter change forgets both, an emptied search box shows the
// whole source, a press of an index button empties the search box.
//
// Databases: "Contacts Database" (sorted on the display name) and "\Categories Database", both
// with notification to the view; the program's own list databases are neither made nor written,
// since the list is held here.
#pragma once

#include "contactmodel.h"
#include "optionrecords.h"
#include "recentlist.h"
#include "resource.h"

#include <QString>

#include <vector>

class QObject;

struct ContactCategoryPair {
    UINT cmdId = 0;  // menu command id (300 to 307), 0 while not listed
    int index = 0;   // category index (bit number)
};

struct ContactMenuItem {
    UINT id = 0;
    CString text;
    bool checked = false;
};

// What the document tells its frame.
class CContactFrame {
public:
    virtual ~CContactFrame() = default;
    virtual void SetListCount(int count) = 0;
    virtual void SetCategoryText(const CString& text) = 0;
    virtual void SetSearchText(const QString& text) = 0;
};

class CZuContactDoc {
public:
    // `persistent` false: the registry is read but not written at the end (tests of clamping).
    explicit CZuContactDoc(bool persistent = true);
    ~CZuContactDoc();

    void SetFrame(CContactFrame* frame) { m_frame = frame; }

    // Opens the two databases, notifying `notify`; the first failure stops the rest.
    bool OpenDatabases(QObject* notify);
    void CloseDatabases();
    CCeDBDatabase& Contacts() { return m_contacts; }

    // Reads the list and shows it.
    void LoadList();
    // The notified records: each is read again (all of them at once when there are many).
    void OnRecordsChanged(const std::vector<CEOID>& oids);

    // Quick search and index buttons.
    void SetSearch(const QString& text, bool composing);
    void IndexSelect(int button);
    const QString& SearchText() const { return m_search; }
    int LastIndexButton() const { return m_indexButton; }

    // The category menu, built anew from "\Categories Database"; choosing a command of it.
    std::vector<ContactMenuItem> CategoryMenu();
    // 300, 301-307 (with the item's text), 309, 310. False for a choice already in force.
    bool ChooseCategory(UINT cmd, const CString& text);
    // "다중선택..." confirmed with these category indexes.
    void ChooseSeveral(const std::vector<int>& indexes);
    std::vector<BYTE> SelectionBitmap() const;

    // The rows.
    const std::vector<int>& Target() const { return m_target; }
    int RowCount() const { return static_cast<int>(m_target.size()); }
    const ContactEntry* Row(int row) const;
    const CContactModel& Model() const { return m_model; }
    int Rebuilds() const { return m_rebuilds; }

    // Records.
    void Opened(CEOID oid) { m_recent.Opened(oid); if (m_catyType == ZU_CON_RECENT) Rebuild(); }
    CRecentList& Recent() { return m_recent; }
    // A new record with every property of `oid`; its categories gain a contact reference.
    CEOID CopyContact(CEOID oid);
    bool DeleteContact(CEOID oid);
    bool SetPreferredNumber(CEOID oid, WORD ident);

    // Starting the calendar with our handle on its command line.
    bool StartCalendar(HWND own);
    const CString& InstallDir() const { return m_installDir; }

    // Option codes 2, 17, 18, 19 (others ignored); true when the layout changes.
    bool OnOptionChanged(WPARAM code, LPARAM value);
    const _tabContactOpt& Options() const { return m_options; }
    bool LeftScroll() const { return m_leftScroll; }
    bool LayoutDirty() const { return m_layoutDirty; }
    void ClearLayoutDirty() { m_layoutDirty = false; }

    int CatyType() const { return m_catyType; }
    const CString& CatyStr() const { return m_catyStr; }
    const std::vector<ContactCategoryPair>& Selection() const { return m_selection; }

    void Rebuild();
    // Says once that the book could not be read whole (again only after a read that succeeded).
    void ReportRead(bool whole);

private:
    void readSettings();
    void writeSettings();
    void setFilter(int kind, const CString& text, std::vector<ContactCategoryPair> selection);
    std::vector<CEOID> recentOids() const;

    CContactFrame* m_frame = nullptr;
    CCeDBDatabase m_contacts;
    CCeDBDatabase m_categories;
    CContactModel m_model;
    CRecentList m_recent;
    _tabContactOpt m_options;
    bool m_leftScroll = false;
    bool m_layoutDirty = false;
    bool m_persistent = true;
    int m_catyType = 0;
    CString m_catyStr;
    CString m_readFailureShown;
    CString m_openFailure;  // why the contacts database did not open
    std::vector<ContactCategoryPair> m_selection;
    CString m_installDir;

    QString m_search;
    bool m_composing = false;
    int m_indexButton = 0;
    std::vector<int> m_source;
    std::vector<int> m_target;
    int m_rebuilds = 0;
};
