// calendarscreens.h - the calendar's screens for the screenshots program.
#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

// A window drawn over the screen at a place (an open menu).
struct ZuScreenOverlay {
    QWidget* widget = nullptr;
    QPoint at;
};

// Saves the widget as NAME.png and NAME@2x.png in the folder, with the overlay drawn over it.
using ZuScreenSaver = std::function<void(QWidget&, const QString&, const QString&, const ZuScreenOverlay*)>;

// The frame in the list view of a busy day, then with its tools menu open. Needs a fresh data
// folder (ZUPIMS_HOME), which it fills.
void ZuShootCalendarScreens(const QString& folder, const ZuScreenSaver& save);
