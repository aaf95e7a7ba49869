// resource.h - the ids of the contact card, the contact editor and the picture page.
#pragma once

// Dialog templates.
#define IDD_CONTACT_DETAIL 131        // the card
#define IDD_PREVIEW_PHOTO 189         // the picture page "사진설정"

// The card's controls and its bar.
#define IDC_NOTE_TOGGLE 1008          // the note toggle in the header panel (bitmaps 184 up / 134 down)
#define IDC_CARD_EDIT 1009            // edit (165 up / 164 down)
#define IDC_CARD_DELETE 1010          // delete (167 up / 166 down)
#define IDC_CARD_ROWS 1011            // the card's rows
#define IDC_FIELD_EDIT 1012           // the in-place edit of the editor's lists
#define IDC_CARD_HEADER 1013          // the header panel
#define IDC_CARD_PHOTO 1014           // the header's picture box
#define IDC_CARD_INK 1015             // the card's ink window

// The editor's lists and the date picker.
#define IDC_FIELD_LIST 1020
#define IDC_DATE_PICKER 2500
#define IDC_DATE_CLEAR 2501           // "지우기" beside the picker

// The picture page.
#define IDC_PHOTO_CHECK 1021          // "사진 설정"
#define IDC_PHOTO_PATH 1022
#define IDC_PHOTO_BROWSE 1023         // "..."
#define IDC_PHOTO_BOX 1024

// Bitmaps (module contact).
#define IDB_NOTE_DOWN 134
#define IDB_EDIT_DOWN 164
#define IDB_EDIT_UP 165
#define IDB_DELETE_DOWN 166
#define IDB_DELETE_UP 167
#define IDB_NOTE_UP 184

// The sheet asks its page to bring the category list forward.
#define WM_ZU_SHOWCATEGORYPAGE (WM_USER + 334)
// The card's note window: wParam 5 shows it, 0 hides it.
#define WM_ZU_SHOWNOTE (WM_USER + 220)

// Strings (ZuLoadString(id, ZuModule::Contact)): 13 the address preview, 14-40 the card's labels.
#define IDS_ADDRESS_PREVIEW 13
#define IDS_CARD_FIRST 14
#define IDS_CARD_LAST 40
