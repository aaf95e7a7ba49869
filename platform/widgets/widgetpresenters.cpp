// Message boxes, popup menus and the input panel through Qt Widgets (presenters_p.h), installed by the
// programs that show them (widgetpresenters.h).
#include "widgetpresenters.h"

#include "messagebox.h"
#include "popupmenu.h"
#include "presenters_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QAction>
#include <QInputMethod>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace {

bool visibleGui()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

int showBox(QWidget* parent, const CString& text, const CString& caption, UINT type)
{
    if (!visibleGui())
        return 0;
    QMessageBox box(parent);
    box.setWindowTitle(caption.toQString());
    box.setText(text.toQString());
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

UINT showMenu(QWidget* parent, const std::vector<ZuMenuEntry>& entries, QPoint pos, ZuMenuAnchor anchor)
{
    if (!visibleGui())
        return 0;
    QMenu menu(parent);
    for (const ZuMenuEntry& e : entries) {
        if (e.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(e.text.toQString());
        action->setData(e.id);
        action->setEnabled(e.enabled);
        if (e.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    if (anchor == ZuMenuAnchor::BottomLeft)
        pos.ry() -= menu.sizeHint().height();
    const QAction* chosen = menu.exec(pos);
    return chosen ? chosen->data().toUInt() : 0;
}

void showPanel(bool on)
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || !app->inputMethod())
        return;
    if (on)
        app->inputMethod()->show();
    else
        app->inputMethod()->hide();
}

} // namespace

void ZuInstallWidgetPresenters()
{
    ZuSetMessageBoxPresenter(&showBox);
    ZuSetInputPanelPresenter(&showPanel);
    ZuSetPopupMenuPresenter(&showMenu);
}
