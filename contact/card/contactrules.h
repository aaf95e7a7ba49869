// contactrules.h - the rules that turn a contact's parts into the texts the card and the editor
// show, and a typed display name back into its parts.
//
// Name rule: title (0x4023), last name (0x3A11), first name (0x3A06), suffix (0x3A05), each when
// present and each followed by one blank ("홍 길동 "); the middle name is never part of it. With
// none of the four: the stored display name (0x4013), else "이름없음". At most 259 characters;
// what does not fit is left out.
//
// Split rule: the typed text trimmed; when the current first name occurs in it, the last name is
// what comes before its first occurrence and the first name the rest; else the text splits at its
// first blank; else the whole text is the first name and the last name stays. Both trimmed.
//
// Address rule: "(postal) ", then state, city and street each followed by one blank, each only
// when present; never the country.
#pragma once

#include "cstring.h"
#include "wintypes.h"

class CContactData;

constexpr int ZU_DISPLAY_NAME_MAX = 259;

CString ZuComposeDisplayName(const CContactData& data);
// Applies the split rule to the data's last and first name.
void ZuSplitDisplayName(const CString& typed, CContactData& data);

// The address of a group: home 0x4040, business 0x4045 or other 0x404A (its street's id).
CString ZuJoinAddress(const CContactData& data, WORD street);

// The date texts of the card: "%d-%02d-%02d", or for a lunar date the solar day it falls on
// followed by "([음력] MM-DD)"; a lunar date the lunar calendar cannot place shows its lunar
// month and day alone. Empty without a date.
CString ZuContactDateText(const CContactData& data, WORD which);
