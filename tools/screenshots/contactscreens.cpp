#include "contactscreens.h"

#include "../../contact/resource.h"
#include "../../contact/widgets/mainframe.h"
#include "../../contact/widgets/searchedit.h"
#include "../../contact/widgets/zucontactview.h"
#include "../../contact/zucontactdoc.h"

#include "cedbdatabase.h"
#include "optionstore.h"
#include "pimstore.h"
#include "popupmenu.h"
#include "recordlayouts.h"
#include "widgets/widgetpresenters.h"

#include <QApplication>
#include <QMenu>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void addContact(const wchar_t* name, const wchar_t* mobile, const wchar_t* work, const wchar_t* email, int category)
{
    CCeDBDatabase db;
    db.Open(ZU_DB_CONTACTS);
    CCeDBRecord r;
    auto add = [&](WORD ident, const wchar_t* v) {
        if (!v)
            return;
        CCeDBProp p(v, ident);
        r.AddProp(&p);
    };
    add(ZUID_CON_FILE_AS, name);
    add(ZUID_CON_COMPANY, L"탄데무어");
    add(ZUID_CON_WORK_TEL, work);
    add(ZUID_CON_MOBILE_TEL, mobile);
    add(ZUID_CON_EMAIL, email);
    if (category >= 0) {
        std::vector<BYTE> bits;
        ZuBitmapSet(bits, category);
        CEBLOB blob{static_cast<DWORD>(bits.size()), bits.data()};
        CCeDBProp p(blob, ZUID_CON_CATEGORIES);
        r.AddProp(&p);
    }
    db.WriteRecord(r, 0);
}

void addCategory(const wchar_t* name, short index, short contacts)
{
    CCeDBDatabase db;
    db.Open(ZU_DB_CATEGORIES);
    CCeDBRecord r;
    CCeDBProp n(name, ZUID_CAT_NAME), i(index, ZUID_CAT_INDEX), u(short(1), ZUID_CAT_IN_USE),
        c(contacts, ZUID_CAT_CONTACT_COUNT);
    r.AddProp(&n);
    r.AddProp(&i);
    r.AddProp(&u);
    r.AddProp(&c);
    db.WriteRecord(r, 0);
}

// Draws a popup menu's entries as a Qt menu would show them, where it opens over the frame.
std::unique_ptr<QMenu> menuOf(const std::vector<ZuMenuEntry>& entries)
{
    auto menu = std::make_unique<QMenu>();
    for (const ZuMenuEntry& e : entries) {
        if (e.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(e.text.toQString());
        action->setCheckable(e.checked);
        action->setChecked(e.checked);
    }
    menu->ensurePolished();
    menu->adjustSize();
    return menu;
}

}  // namespace

void ZuShootContactScreens(const QString& folder, const ZuScreenSaver& save)
{
    QTemporaryDir home;
    const QByteArray old = qgetenv("ZUPIMS_HOME");
    qputenv("ZUPIMS_HOME", home.path().toUtf8());
    {
        addCategory(L"가족", 0, 4);
        addCategory(L"회사", 1, 6);
        addCategory(L"친구", 2, 3);
        const wchar_t* const names[] = {L"강감찬", L"김철수", L"김민지", L"김영희", L"나태주", L"도미영", L"류현진",
            L"문세윤", L"박지성", L"백종원", L"서태지", L"손흥민", L"안창호", L"윤동주", L"이순신", L"이영애", L"장보고",
            L"정약용", L"최무선", L"한석봉", L"허준", L"홍길동", L"Alice Kim", L"bob Lee", L"Charlie", L"David Park",
            L"Emma", L"1577-1234 콜센터", L"(주)탄데무어", L"김철수연구소장님의비서실전화"};
        int i = 0;
        for (const wchar_t* n : names) {
            addContact(n, i % 3 ? L"010-1234-5678" : nullptr, i % 2 ? L"02-555-0101" : nullptr,
                i % 5 == 0 ? L"someone@example.kr" : nullptr, i % 4 == 3 ? -1 : i % 3);
            ++i;
        }

        CZuContactDoc doc(false);
        CMainFrame frame(&doc);
        frame.Create();
        frame.InitialUpdate({});
        frame.show();
        qApp->processEvents();
        save(frame, folder, QStringLiteral("contacts-list"), nullptr);

        QMetaObject::invokeMethod(frame.SearchEdit(), [&] { frame.SearchEdit()->setText(QStringLiteral("ㄱㅊ")); });
        qApp->processEvents();
        save(frame, folder, QStringLiteral("contacts-chosung"), nullptr);
        frame.SearchEdit()->clear();
        qApp->processEvents();

        ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) -> UINT {
            auto menu = menuOf(entries);
            ZuScreenOverlay overlay{menu.get(), frame.mapFromGlobal(pos)};
            save(frame, folder, QStringLiteral("contacts-category-menu"), &overlay);
            return 0;
        });
        frame.ShowCategoryMenu();

        ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) -> UINT {
            auto menu = menuOf(entries);
            QPoint at = frame.mapFromGlobal(pos);
            at.setX(std::max(0, 236 - menu->sizeHint().width()));
            ZuScreenOverlay overlay{menu.get(), at};
            save(frame, folder, QStringLiteral("contacts-number-menu"), &overlay);
            return 0;
        });
        frame.ShowPreferredMenu(3);
        ZuSetPopupMenuHandler({});

        COptionStore().SaveContactOpt(FALSE, TRUE, TRUE, FALSE);
        for (int k = 0; k < 20 && !frame.View()->IsTwoLine(); ++k) {
            qApp->processEvents(QEventLoop::AllEvents, 50);
        }
        qApp->processEvents();
        save(frame, folder, QStringLiteral("contacts-multiline"), nullptr);
        frame.close();
    }
    qputenv("ZUPIMS_HOME", old);
}

// Its own program: the contacts frame and the calendar's are both CMainFrame, so the two cannot
// share one executable.
namespace {

void saveShot(QWidget& w, const QString& folder, const QString& name, const ZuScreenOverlay* overlay)
{
    const int scale = qRound(qApp->devicePixelRatio()) >= 2 ? 2 : 1;
    QImage image(w.size() * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    w.render(&image);
    if (overlay && overlay->widget)
        overlay->widget->render(&image, overlay->at);
    const QString path = folder + "/" + name + (scale == 2 ? "@2x" : "") + ".png";
    if (!image.save(path))
        std::fprintf(stderr, "contact screenshots: cannot write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    ZuShootContactScreens(folder, saveShot);
    std::printf("contact screenshots in %s\n", qPrintable(folder));
    return 0;
}
