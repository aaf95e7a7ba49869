// bitmap.h - a module's bitmaps, by resource id.
//
// Each library and program keeps its bitmaps as Qt resources named by their resource ids under
// the module's prefix (":/calendar/174", ":/complib/131"), built from the PNG files
// `<folder>/images/<id>.png` of that module; ZuLoadBitmap is the one place that names them.
// Needs Qt Gui: only the shared library ZuUtils has it, not its core.
#pragma once

#include "wintypes.h"
#include "zumodule.h"

#include <QPixmap>
#include <QString>

// The resource path of a module's bitmap: ":/calendar/174".
QString ZuBitmapPath(UINT id, ZuModule module);

// The module's bitmap of that id; a null pixmap when the module has none of that id (or no
// application with a screen runs yet). When the application's device pixel ratio is above 1 and
// the module has the bitmap drawn at twice the size (":/calendar/174@2x"), that one, with device
// pixel ratio 2: its deviceIndependentSize() is the bitmap's size, which callers lay out with
// (width() and height() count device pixels).
QPixmap ZuLoadBitmap(UINT id, ZuModule module);
