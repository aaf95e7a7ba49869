// savecontact.h - writing an edited contact back to "Contacts Database".
//
// SaveContact(id, data) writes the contact in one store batch, so the record and its category
// counts land together or not at all:
// - id 0, or a contact deleted meanwhile elsewhere: a new record.
// - otherwise the record is updated in place (same object id): every managed property that holds
//   a value is written; a managed property now empty (a lunar flag at 0 too) is deleted; every
//   other stored property stays. The preferred number (0x0050) stays unless the number it names
//   was emptied.
// - the display name (0x4013) is the composed one (name rule, without its trailing blank) when
//   the name row was edited or the contact is new and has a name.
// - category counts (0x4004 of the categories) move only once the record is written: the stored
//   bitmap's references are released and the new one's added, inside the same batch.
// Returns the contact's object id (non-zero) on success, 0 when anything failed; nothing is then
// changed in the store.
#pragma once

#include "wintypes.h"

class CContactData;

CEOID SaveContact(CEOID id, const CContactData& data);
