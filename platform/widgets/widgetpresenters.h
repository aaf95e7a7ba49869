// widgetpresenters.h - message boxes, popup menus and the input panel through Qt Widgets.
//
// Only the shared platform library has these (the command-line tool, built from the core, has no
// Qt Widgets). A program that shows its boxes and the input panel to the user calls
// ZuInstallWidgetPresenters from main(), before it shows any. Without the call a box is a line on
// standard error and the panel is only a state (messagebox.h, sip.h); so it is too, with the call,
// for a program without a visible GUI (no QApplication, or the offscreen and minimal platforms of
// tests and scripts).
#pragma once

// Makes MessageBox show a QMessageBox, ZuPopupMenu a QMenu and the input panel ask the input
// method; calling it again changes nothing. Any thread, any time: the presenters look for the application when they show.
void ZuInstallWidgetPresenters();
