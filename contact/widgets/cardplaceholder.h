// cardplaceholder.h - a contact's name, company and numbers, read only, until the card comes.
// It reads the record when opened and writes nothing.
#pragma once

#include "wintypes.h"

#include <QDialog>

class CCeDBDatabase;

class CContactCardPlaceholder : public QDialog {
    Q_OBJECT
public:
    CContactCardPlaceholder(CCeDBDatabase& contacts, CEOID oid, QWidget* parent = nullptr);
    // The lines shown: name, company, then "label: value" for each number.
    const QStringList& Lines() const { return m_lines; }

private:
    QStringList m_lines;
};
