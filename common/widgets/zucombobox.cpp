#include "zucombobox.h"

#include "messagebox.h"
#include "textutil.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

const wchar_t* const kContentMenuName = L"&ComboContent";
const wchar_t* const kSeparatorText = L"PSEP";

} // namespace

CZUComboBox::CZUComboBox(QWidget* parent, UINT id) : QComboBox(parent)
{
    if (id)
        setObjectName(QString::number(id));
    setFrame(false);
}

void CZUComboBox::SetZuType(int type) { m_zuType = type; }

void CZUComboBox::SetZuMenuType(int type) { m_menuType = type; }

int CZUComboBox::MakeComboContentMenu()
{
    m_entries.clear();
    m_menuName = kContentMenuName;
    for (int i = 0; i < count(); ++i) {
        ZuMenuEntry e;
        e.id = static_cast<UINT>(i + 1);
        e.text = CString::fromQString(itemText(i));
        e.separator = e.text == kSeparatorText;
        m_entries.push_back(e);
    }
    m_menuType = 2;
    return static_cast<int>(m_entries.size());
}

void CZUComboBox::OnReplaceMenu(const CString& name, const std::vector<ZuMenuEntry>& entries)
{
    m_menuName = name;
    m_entries = entries;
    m_menuType = 1;
}

std::vector<ZuMenuEntry> CZUComboBox::GetMenuEntries() const
{
    std::vector<ZuMenuEntry> entries = m_entries;
    if (m_menuType == 2) {
        const CString current = CString::fromQString(currentText());
        for (ZuMenuEntry& e : entries)
            e.checked = !e.separator && currentIndex() >= 0 && e.text == current;
    }
    return entries;
}

int CZUComboBox::FindMenuItem(const CString& text) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (!m_entries[i].separator && m_entries[i].text == text)
            return static_cast<int>(i);
    return -1;
}

UINT CZUComboBox::DisplayContextMenu(const QPoint* pos)
{
    if (m_entries.empty())
        return 0;
    const QPoint at = pos ? *pos : mapToGlobal(QPoint(0, height()));
    const UINT id = ZuPopupMenu(this, GetMenuEntries(), at);
    if (id)
        applyChoice(id);
    return id;
}

void CZUComboBox::applyChoice(UINT id)
{
    int item = -1;
    if (m_menuType == 2) {
        item = static_cast<int>(id) - 1;
    } else {
        for (const ZuMenuEntry& e : m_entries)
            if (!e.separator && e.id == id)
                item = findText(e.text.toQString(), Qt::MatchExactly);
    }
    if (item >= 0 && item < count())
        setCurrentIndex(item);
    emit menuChosen(id);
}

void CZUComboBox::showPopup()
{
    if (m_zuType == 1) {
        DisplayContextMenu();
        return;
    }
    QComboBox::showPopup();
}

void CZUComboBox::SetBorderColor(COLORREF c)
{
    m_clrBorder = c;
    update();
}

void CZUComboBox::SetFocusColor(COLORREF c)
{
    m_clrFocus = c;
    update();
}

void CZUComboBox::OnErrspace()
{
    MessageBox(this, L"OnErrspace", L"", MB_OK);
}

void CZUComboBox::DrawBorder(QPainter* painter)
{
    painter->setBrush(Qt::NoBrush);
    painter->setPen(qcolor(m_clrBorder));
    painter->drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        QPen pen(qcolor(m_clrFocus));
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void CZUComboBox::paintEvent(QPaintEvent* event)
{
    QComboBox::paintEvent(event);
    QPainter painter(this);
    DrawBorder(&painter);
}

void CZUComboBox::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    if (isEditable())
        PPC_KeypadUp();
    update();
}

void CZUComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (isEditable())
        PPC_KeypadDown();
    update();
}
