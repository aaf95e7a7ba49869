// presenters_p.h - how a program with a window system shows message boxes, popup menus and the
// input panel.
//
// The platform's core (everything but widgets/) uses Qt Core alone, so that the command-line
// tool, which is built from the core, starts without loading Qt Gui and Widgets. The shared
// platform library adds widgets/widgetpresenters.cpp, whose ZuInstallWidgetPresenters sets these
// when a program calls it; without them a box is a line on standard error, a popup menu chooses
// nothing and the panel is only a state.
#pragma once

#include "cstring.h"
#include "popupmenu.h"
#include "wintypes.h"

class QWidget;

// Shows the box and returns the button chosen; 0 when no visible window system can show it.
using ZuMessageBoxPresenter = int (*)(QWidget* parent, const CString& text, const CString& caption, UINT type);
// Shows the menu and returns the id chosen; 0 when dismissed or when no visible window system
// can show it.
using ZuPopupMenuPresenter = UINT (*)(QWidget* parent, const std::vector<ZuMenuEntry>& entries, QPoint pos,
                                      ZuMenuAnchor anchor);
// Asks the window system's input method to show (true) or hide its panel.
using ZuInputPanelPresenter = void (*)(bool on);

void ZuSetMessageBoxPresenter(ZuMessageBoxPresenter presenter);
void ZuSetInputPanelPresenter(ZuInputPanelPresenter presenter);
void ZuSetPopupMenuPresenter(ZuPopupMenuPresenter presenter);
