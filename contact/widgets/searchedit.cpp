#include "searchedit.h"

#include "textutil.h"

#include <QInputMethodEvent>

CContactSearchEdit::CContactSearchEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { emit searchChanged(SearchText(), Composing()); });
}

void CContactSearchEdit::inputMethodEvent(QInputMethodEvent* e)
{
    const QString before = SearchText();
    m_preedit = e->preeditString();
    blockSignals(true);
    QLineEdit::inputMethodEvent(e);
    blockSignals(false);
    if (SearchText() != before || !e->commitString().isEmpty())
        emit searchChanged(SearchText(), Composing());
}

void CContactSearchEdit::focusInEvent(QFocusEvent* e)
{
    PPC_KeypadUp();
    QLineEdit::focusInEvent(e);
}
