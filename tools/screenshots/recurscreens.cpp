#include "recurscreens.h"

#include "oledatetime.h"
#include "widgets/recurdetailpage.h"
#include "widgets/recurdialog.h"
#include "widgets/recurkindpage.h"
#include "widgets/zucombobox.h"

#include <QApplication>
#include <QRadioButton>

void ZuShootRecurScreens(const QString& folder, const ZuScreenSaver& save)
{
    const COleDateTime start(2026, 12, 10, 9, 30, 0);
    const COleDateTime end(2026, 12, 10, 10, 0, 0);
    CRecurDialog dialog(nullptr, start, end, 1, 1);
    dialog.show();
    qApp->processEvents();
    save(dialog, folder, QStringLiteral("recur-wizard"), nullptr);

    dialog.KindPage()->SelectKind(2);
    if (auto* radio = dialog.KindPage()->CurrentDetail()->findChild<QRadioButton*>(QStringLiteral("1059")))
        radio->click();
    qApp->processEvents();
    save(dialog, folder, QStringLiteral("recur-wizard-monthly"), nullptr);

    dialog.KindPage()->SelectKind(3);
    qApp->processEvents();
    save(dialog, folder, QStringLiteral("recur-wizard-yearly"), nullptr);

    dialog.KindPage()->SelectKind(1);
    dialog.OnNext();
    if (auto* radio = dialog.findChild<QRadioButton*>(QStringLiteral("1072")))
        radio->click();
    qApp->processEvents();
    save(dialog, folder, QStringLiteral("recur-wizard-range"), nullptr);
    dialog.OnCancel();
}
