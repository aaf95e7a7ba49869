#include "bitmap.h"

#include <QGuiApplication>

QString ZuBitmapPath(UINT id, ZuModule module)
{
    return QStringLiteral(":/%1/%2").arg(QLatin1String(ZuModuleName(module))).arg(id);
}

QPixmap ZuLoadBitmap(UINT id, ZuModule module)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QPixmap();  // a pixmap needs the window system
    return QPixmap(ZuBitmapPath(id, module));
}
