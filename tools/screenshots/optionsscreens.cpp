#include "optionsscreens.h"

#include "widgets/modaldialog.h"
#include "widgets/optionsheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

void ZuShootOptionsScreens(const QString& folder, const ZuScreenSaver& save)
{
    COptionSheet sheet(CString(L"환경설정"));
    ZuModalHandlerScope scope([&](QDialog&) {
        // The password controls, as a user switching protection on sees them.
        if (auto* use = sheet.GetActivePage()->findChild<QCheckBox*>(QStringLiteral("1001"))) {
            use->click();
            if (auto* edit = sheet.GetActivePage()->findChild<QLineEdit*>(QStringLiteral("1005")))
                edit->setText(QStringLiteral("abcd1234"));
        }
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("options-general"), nullptr);
        sheet.SetActivePage(1);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("options-calendar"), nullptr);
        sheet.SetActivePage(2);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("options-contacts"), nullptr);
    });
    sheet.DoModal();  // left by the handler: cancelled, nothing written
}
