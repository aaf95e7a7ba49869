// presenters_p.h - how a program with a window system shows message boxes and the input panel.
//
// The platform's core (everything but widgets/) uses Qt Core alone, so that the command-line
// tool, which is built from the core, starts without loading Qt Gui and Widgets. The shared
// platform library adds widgets/widgetpresenters.cpp, whose ZuInstallWidgetPresenters sets these
// when a program calls it; without them a box is a line on standard error and the panel is only
// a state.
#pragma once

#include "cstring.h"
#include "wintypes.h"

class QWidget;

// Shows the box and returns the button chosen; 0 when no visible window system can show it.
using ZuMessageBoxPresenter = int (*)(QWidget* parent, const CString& text, const CString& caption, UINT type);
// Asks the window system's input method to show (true) or hide its panel.
using ZuInputPanelPresenter = void (*)(bool on);

void ZuSetMessageBoxPresenter(ZuMessageBoxPresenter presenter);
void ZuSetInputPanelPresenter(ZuInputPanelPresenter presenter);
