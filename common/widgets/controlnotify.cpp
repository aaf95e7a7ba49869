#include "controlnotify.h"

#include "windowmessage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

void ZuSetControlId(QWidget* control, UINT id)
{
    if (control && id != 0)
        control->setObjectName(QString::number(id));
}

UINT ZuControlId(const QWidget* control)
{
    if (!control)
        return 0;
    bool ok = false;
    const uint id = control->objectName().toUInt(&ok);
    return ok ? id : 0;
}

LRESULT ZuNotifyParent(QWidget* control, WORD code)
{
    if (!control || !control->parentWidget())
        return 0;
    const UINT id = ZuControlId(control);
    ZuMessageEvent event(WM_COMMAND, MAKELONG(static_cast<WORD>(id), code), reinterpret_cast<LPARAM>(control));
    QCoreApplication::sendEvent(control->parentWidget(), &event);
    return event.result();
}

namespace {
ZuShellOpenHandler& shellHandler()
{
    static ZuShellOpenHandler handler;
    return handler;
}
}  // namespace

BOOL ZuShellOpen(const wchar_t* target)
{
    const CString t(target);
    if (t.IsEmpty())
        return FALSE;
    if (shellHandler())
        return shellHandler()(t);
    const QString q = t.toQString();
    const QUrl url = QUrl::fromUserInput(q);
    return QDesktopServices::openUrl(url) ? TRUE : FALSE;
}

ZuShellOpenHandler ZuSetShellOpenHandler(ZuShellOpenHandler handler)
{
    ZuShellOpenHandler old = std::move(shellHandler());
    shellHandler() = std::move(handler);
    return old;
}
