// contacteditor.h - the contact editor: the sheet "주소록" (CMakeEventSheet, contact type) with
// the pages 메인, 상세입력, the picture page, the note, the category list and the category editor,
// in that order (the category list is index 4).
//
// ZuEditContact edits the contact `oid` (0: a new one) and saves it on OK with SaveContact, the
// categories taken from the category list and the note from the note page. Returns IDOK when
// saved (oid then holds the contact's id), IDCANCEL when cancelled (nothing written), 0 when the
// save failed: the user has then been told ("주소록을 저장하지 못했습니다.") and nothing changed.
// `prepare`, when given, sees the sheet and its pages before the run (the screenshots use it).
#pragma once

#include "wintypes.h"

#include <functional>

class CMakeEventSheet;
class QWidget;

int ZuEditContact(QWidget* parent, CEOID& oid, const std::function<void(CMakeEventSheet&)>& prepare = {});

// The text the user is shown when a save failed.
inline constexpr const wchar_t* ZU_CONTACT_SAVE_FAILED = L"주소록을 저장하지 못했습니다.";
inline constexpr const wchar_t* ZU_CONTACT_DELETE_FAILED = L"주소록을 지우지 못했습니다.";
inline constexpr const wchar_t* ZU_CONTACT_CAPTION = L"주소록";
