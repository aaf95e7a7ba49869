#include "cardscreens.h"

#include "contactdata.h"
#include "contactdetaildlg.h"
#include "contacteditor.h"
#include "pimstore.h"
#include "savecontact.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>

namespace {

// A portrait drawn for the card: a head and shoulders on a sky gradient.
QString drawPortrait(const QString& folder)
{
    QImage image(360, 400, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(150, 196, 240));
    sky.setColorAt(1, QColor(226, 238, 250));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 70, 130));
    p.drawEllipse(QRectF(60, 250, 240, 260));
    p.setBrush(QColor(240, 205, 170));
    p.drawEllipse(QRectF(120, 90, 120, 150));
    p.setBrush(QColor(50, 40, 35));
    p.drawChord(QRectF(114, 80, 132, 110), 0, 180 * 16);
    p.end();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("contact-portrait.png"));
    image.save(path);
    return path;
}

}  // namespace

void ZuShootCardScreens(const QString& folder, const ZuScreenSaver& save)
{
    CContactData data;
    data.SetString(0x3A11, L"홍");
    data.SetString(0x3A06, L"길동");
    data.SetString(0x3A16, L"탄데무어");
    data.SetString(0x3A18, L"개발팀");
    data.SetString(0x3A17, L"책임연구원");
    data.SetString(0x3A08, L"02-123-4567");
    data.SetString(0x3A1C, L"010-1234-5678");
    data.SetString(0x4083, L"gildong@example.com");
    data.SetString(0x4043, L"100-011");
    data.SetString(0x4042, L"서울시");
    data.SetString(0x4041, L"중구");
    data.SetString(0x4040, L"태평로 1");
    data.SetString(0x400A, L"김영희");
    data.SetDate(0x4001, QDate(1975, 8, 15));
    data.SetLunar(0x4001, true);
    data.SetString(0x8200, CString::fromQString(drawPortrait(folder)));
    std::vector<BYTE> bitmap;
    ZuBitmapSet(bitmap, 0);
    ZuBitmapSet(bitmap, 1);
    data.SetCategories(bitmap);
    const CEOID oid = SaveContact(0, data);

    CContactDetailDlg card;
    card.SetContact(oid);
    card.show();
    // Down to the birthday, solar date first with its lunar day.
    card.GetRows()->scrollToBottom();
    qApp->processEvents();
    save(card, folder, QStringLiteral("contacts-card"), nullptr);
    card.hide();

    CEOID id = oid;
    ZuModalHandlerScope scope([&](QDialog& d) {
        auto& sheet = static_cast<CMakeEventSheet&>(d);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("contacts-editor"), nullptr);
        sheet.SetActivePage(1);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("contacts-editor-detail"), nullptr);
        sheet.SetActivePage(2);
        qApp->processEvents();
        save(sheet, folder, QStringLiteral("contacts-picture"), nullptr);
        sheet.reject();
    });
    ZuEditContact(nullptr, id);
}
