// zucontactview.h - the contacts list: a virtual list over the document's rows.
//
// Columns: name, number, marker, and the hidden object id ("%ld"); 98/105/22/0 wide in
// single-line mode (marker blue, the rest black), 225/0/0/0 in multi-line mode, where each row
// shows the name on its first line and the number on the second with the marker blue in the
// right 16 pixels.
//
// Messages: WM_SETLISTCOUNT (wParam the count), WM_INDEXSELECT (wParam the button), and the
// record notifications of "Contacts Database" and "\Categories Database", collected and handed
// to the document once per turn of the event loop, so a batch of writes costs one rebuild.
#pragma once

#include "widgets/listviewex.h"

#include <vector>

class CZuContactDoc;

class CZuContactView : public CListViewEx {
    Q_OBJECT
public:
    explicit CZuContactView(CZuContactDoc* doc, QWidget* parent = nullptr);

    // Columns, font and row style from the document's options.
    void ApplyOptions();
    // Whether a point of the viewport on a row lies in its number marker (the preferred-number
    // menu's place).
    bool IsMarkerHit(int row, QPoint pos) const;
    CString ItemText(int row, int col) const;
    int PendingNotifications() const { return static_cast<int>(m_pending.size()); }

signals:
    void markerTapped(int row);

protected:
    void DrawItem(QPainter& painter, int row, const QRect& rect, bool selected) override;
    bool event(QEvent* e) override;

private:
    void flushNotifications();

    CZuContactDoc* m_doc;
    std::vector<CEOID> m_pending;
    bool m_flushQueued = false;
};
