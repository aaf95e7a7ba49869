// optionstore.h - the options library's access to the registry (internal to the library and
// its dialogs).
//
// A store opens the keys General, Contact, Calendar, Task and Memo under
// "Software\Tandemoor\Pims" (creating them when missing; in that order) and closes them when it
// is destroyed. A key that cannot be opened reads as the defaults and ignores writes.
//
// Saving a boolean compares with the stored string first: TRUE is written when the stored string
// is empty or "FALSE", FALSE when it is empty or "TRUE"; anything else is left as it is. A write
// that is stored (read back) is a change, and a change sends WM_OPTION_CHANGED to the program
// concerned when its registered window is live (optionrecords.h). A write that fails is no
// change and sends nothing: the Save calls then answer FALSE (they still save what they can), so
// no program is told a value that the registry lacks.
//
// "strSecurityValue" holds a salted slow hash of the password (passwordhash_p.h), written only by
// SaveGeneralOpt and checked only by CheckPassword; no record hands it out. A value in the old
// scrambled form, left by an earlier version, is replaced by the hash at the first right entry or
// the next save.
#pragma once

#include "optionrecords.h"
#include "voregistry.h"

#include <cstdint>
#include <string>
#include <vector>

class COptionStore {
public:
    COptionStore();
    ~COptionStore();
    COptionStore(const COptionStore&) = delete;
    COptionStore& operator=(const COptionStore&) = delete;

    _tabGeneralOpt ReadGeneralOpt();
    _tabCalendarOpt ReadCalendarOpt();
    _tabTaskOpt ReadTaskOpt();
    _tabContactOpt ReadContactOpt();

    // "dwHWND" of the key named `key` (Contact, Calendar, Task or Memo, any case); ZU_HWND_UNSET
    // when missing (never written back) or for any other name.
    HWND ReadWindowHandle(const wchar_t* key);
    // WriteRegistryHWND's work (optionrecords.h).
    BOOL WriteWindowHandle(HWND hwnd, const CString& app);
    // IsAnotherSuiteProgramRunning's work (optionrecords.h).
    BOOL AnyOtherProgramLive();

    // Left scroll (code 2 to the calendar, then the contacts window, on a change); then the
    // password protection, the only place that sets a password:
    // - bSecurityFlag FALSE: "bSecurityFlag" "FALSE", then the stored password is deleted;
    // - TRUE with a password: its hash is written and read back first, then "bSecurityFlag"
    //   "TRUE" (so a crash between the two never leaves protection on with no password);
    // - TRUE with an empty text: the password stays as it is. A password in the old scrambled
    //   form is replaced by its hash here. With no password stored, or protection off (there is
    //   then no password), protection is not turned on: the result is FALSE and neither
    //   "bSecurityFlag" nor the password is written (the left scroll is saved all the same).
    // When the hash cannot be stored, the user is told, "bSecurityFlag" is written "FALSE" and the
    // result is FALSE, so no program asks for a password that was never stored. Any other write
    // that fails makes the result FALSE too.
    BOOL SaveGeneralOpt(BOOL bSecurityFlag, const CString& password, BOOL bLeftScrollFlag);
    // TRUE when protection is on with a password stored (hashed, or in the old form), so that
    // SaveGeneralOpt(TRUE, "", ...) keeps it.
    BOOL HasStoredPassword();
    // The one check of a typed password against the stored one (case-sensitive, compared in
    // constant time), with the pause of passwordbackoff.h between repeated wrong entries: a try
    // that comes too early is not checked and answers Wait with the milliseconds left. A password
    // still in the old scrambled form is accepted once and replaced by its hash on that success.
    // "bSecurityFlag" "TRUE" with no stored password: the old rule, only the empty entry matches.
    enum class PasswordCheck { Right, Wrong, Wait };
    PasswordCheck CheckPassword(const CString& typed, std::int64_t* waitMs = nullptr);
    // Private (33) and big font (34) on a change; the hours are compared with the stored ones (a
    // missing one is created as 100 first) and, when either differs, both are written and 37 is
    // sent with MAKELONG(start, end). FALSE when a write failed.
    BOOL SaveCalendarOpt(BOOL bPrivateFlag, BOOL bBigFontFlag, int nWvStartTime, int nWvEndTime);
    // Task "bStatusBarFlag"; 52 to the calendar window on a change. FALSE when the write failed.
    BOOL SaveTaskStatusBar(BOOL bStatusBarFlag);
    // In this order: big font (18), names only (20), quick-search bar (17), multi-line (19). An
    // option's message goes out when it changed or when any option before it in this order
    // changed, with the value given (an option whose write failed sends nothing). FALSE when a
    // write failed.
    BOOL SaveContactOpt(BOOL bBigFontFlag, BOOL bShowQuickSearchBar, BOOL bShowMultiLine, BOOL bShowNameOnly);

    // The old stored form of a password, read only to replace it by its hash: three code units
    // per character, of the reversed text; for the character at position i (from 1): a letter
    // gives "0l" and its low 8 bits minus 2i as a signed 8-bit value widened to 16 bits; a digit d
    // gives "0x" and 63 + d*k (k = i up to 9, i - 9 from 10 on); anything else "0e" and the
    // character itself. NOT encryption: nothing writes this form any more.
    static CString EncodePassword(const CString& password);
    // The reverse; a trailing partial group is ignored, a group with another marker gives nothing.
    static CString DecodePassword(const CString& stored);

private:
    CVORegistry* KeyFor(const wchar_t* name);
    static BOOL ReadBool(CVORegistry& key, const wchar_t* name);
    enum class Saved { Unchanged, Changed, Failed };
    static Saved SaveBool(CVORegistry& key, const wchar_t* name, BOOL value);
    // WM_OPTION_CHANGED to `hwnd` when it is a live window that has not timed out in this store.
    void Notify(HWND hwnd, WPARAM code, LPARAM value);
    // Writes the hash and reads it back; FALSE when it did not stick.
    BOOL StoreHash(const std::string& hash);

    CVORegistry m_regGeneral;
    CVORegistry m_regContact;
    CVORegistry m_regCalendar;
    CVORegistry m_regTask;
    CVORegistry m_regMemo;
    std::vector<HWND> m_unresponsive;
};
