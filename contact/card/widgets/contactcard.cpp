#include "contactcard.h"

#include "contactdetaildlg.h"
#include "contacteditor.h"
#include "messagebox.h"

int ZuOpenContactCard(QWidget* parent, CEOID oid)
{
    CContactDetailDlg card(parent);
    card.SetContact(oid);
    return card.DoModal();
}

int ZuNewContact(QWidget* parent, CEOID* oid)
{
    CEOID id = 0;
    const int result = ZuEditContact(parent, id);
    if (result == IDOK && oid)
        *oid = id;
    return result;
}
