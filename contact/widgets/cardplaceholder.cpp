#include "cardplaceholder.h"

#include "../contactmodel.h"

#include "cedbdatabase.h"
#include "recordlayouts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CContactCardPlaceholder::CContactCardPlaceholder(CCeDBDatabase& contacts, CEOID oid, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ContactCardPlaceholder"));
    CCeDBRecord r;
    if (contacts.SeekToRecord(oid) && contacts.ReadCurrRecord(&r)) {
        auto text = [&](CEPROPID id) {
            const CCeDBProp* p = r.GetFullIdProp(id);
            return p ? QString::fromWCharArray(p->GetString()) : QString();
        };
        m_lines << text(ZUPID_CON_FILE_AS) << text(ZUPID_CON_COMPANY);
        for (const ContactNumberKind& k : ZuContactNumberKinds()) {
            const QString v = text(MAKEPROPID(k.ident, CEVT_LPWSTR));
            if (!v.isEmpty())
                m_lines << QString::fromWCharArray(k.label) + QStringLiteral(": ") + v;
        }
    }
    setWindowTitle(m_lines.isEmpty() ? QString() : m_lines.first());
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : m_lines)
        layout->addWidget(new QLabel(line, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
