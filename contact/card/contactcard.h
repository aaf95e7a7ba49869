// contactcard.h - what the contacts program calls to show, edit and create contacts.
//
// ZuOpenContactCard runs the card of the contact modally (a tap on its row): IDOK when the
// contact was deleted from the card, IDCANCEL when the card was closed; the list learns of edits
// and deletes through the database's notifications.
// ZuNewContact runs the editor for a new contact (command 32771): IDOK saved (*oid the new
// contact's id), IDCANCEL cancelled, 0 the save failed and the user was told.
#pragma once

#include "wintypes.h"

class QWidget;

int ZuOpenContactCard(QWidget* parent, CEOID oid);
int ZuNewContact(QWidget* parent, CEOID* oid);
