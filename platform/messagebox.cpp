#include "messagebox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_mutex;
ZuMessageBoxHandler g_handler;

bool visibleGui()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

int defaultAnswer(UINT type)
{
    switch (type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

} // namespace

ZuMessageBoxHandler ZuSetMessageBoxHandler(ZuMessageBoxHandler handler)
{
    std::lock_guard lock(g_mutex);
    ZuMessageBoxHandler old = std::move(g_handler);
    g_handler = std::move(handler);
    return old;
}

int MessageBox(QWidget* parent, const wchar_t* text, const wchar_t* caption, UINT type)
{
    const CString t(text), c(caption);
    ZuMessageBoxHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return handler(t, c, type);
    if (!visibleGui()) {
        std::fprintf(stderr, "%s: %s\n", c.toUtf8().c_str(), t.toUtf8().c_str());
        return defaultAnswer(type);
    }
    QMessageBox box(parent);
    box.setWindowTitle(c.toQString());
    box.setText(t.toQString());
    switch (type & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (type & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    default: return IDOK;
    }
}
