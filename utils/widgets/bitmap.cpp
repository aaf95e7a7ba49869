#include "bitmap.h"

#include <QFile>
#include <QGuiApplication>

QString ZuBitmapPath(UINT id, ZuModule module)
{
    return QStringLiteral(":/%1/%2").arg(QLatin1String(ZuModuleName(module))).arg(id);
}

QPixmap ZuLoadBitmap(UINT id, ZuModule module)
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return QPixmap();  // a pixmap needs the window system
    const QString path = ZuBitmapPath(id, module);
    if (app->devicePixelRatio() > 1.0) {
        // A scaled screen gets the drawing made at twice the size, where there is one.
        const QString large = path + QStringLiteral("@2x");
        if (QFile::exists(large)) {
            QPixmap pixmap(large);
            if (!pixmap.isNull()) {
                pixmap.setDevicePixelRatio(2.0);
                return pixmap;
            }
        }
    }
    QPixmap pixmap(path);
    pixmap.setDevicePixelRatio(1.0);
    return pixmap;
}
