// popupmenu.h - the one way this suite shows a popup menu.
//
// Every context menu and every menu that stands in for a drop-down list goes through
// `ZuPopupMenu`, so tests can see each entry's state and choose (`ZuSetPopupMenuHandler`), as
// they answer message boxes (messagebox.h). Without a handler the menu is a Qt menu when the
// program has installed the widget presenters (widgets/widgetpresenters.h) and runs a visible
// GUI; otherwise nothing is shown and nothing is chosen.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QPoint>

#include <functional>
#include <vector>

class QWidget;

// One entry of a popup menu. A separator has no id or text of its own.
struct ZuMenuEntry {
    UINT id = 0;
    CString text;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
};

// Where the menu stands against its point: its top-left corner there (it opens downwards), or its
// bottom-left corner (it opens upwards, as the menus of the bars along the bottom of the screen).
enum class ZuMenuAnchor { TopLeft, BottomLeft };

// Shows the entries at pos (global coordinates) and returns the id of the entry chosen, or 0 when
// the menu was dismissed. A disabled entry or a separator is never the answer: an id the handler
// returns for one of those, or one that is in no entry, counts as 0.
UINT ZuPopupMenu(QWidget* parent, const std::vector<ZuMenuEntry>& entries, QPoint pos,
                 ZuMenuAnchor anchor = ZuMenuAnchor::TopLeft);

// A handler sees every menu instead of the user and gives the chosen id; an empty function puts
// the normal menus back. Returns the previous handler.
using ZuPopupMenuHandler = std::function<UINT(const std::vector<ZuMenuEntry>& entries, QPoint pos)>;
ZuPopupMenuHandler ZuSetPopupMenuHandler(ZuPopupMenuHandler handler);
