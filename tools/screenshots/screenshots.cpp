// screenshots - draws the suite's screens as PNGs into the folder given, for looking at them:
// NAME.png at 1x, or NAME@2x.png when the screen is scaled by 2 (QT_SCALE_FACTOR=2), so that each
// scale is drawn with the bitmaps made for it; `cmake --build build --target screenshots` runs it
// at both scales. The screens: the calendar's list of a busy day and its tools menu open, its
// controls, the password prompt and a sheet of every bitmap on the colour it sits on ("bitmaps").
#include "bitmap.h"
#include "calendarscreens.h"
#include "recurscreens.h"
#include "aptmscreens.h"
#include "taskscreens.h"
#include "boardscreens.h"
#include "categoryscreens.h"
#include "cardscreens.h"
#include "notescreens.h"
#include "optionsscreens.h"
#include "widgets/cboxselect.h"
#include "widgets/cebuttonst.h"
#include "widgets/cetoolbar.h"
#include "widgets/checkpassworddlg.h"
#include "widgets/label.h"
#include "widgets/listviewex.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"
#include "widgets/zufont.h"

#include "widgets/widgetpresenters.h"

#include <QApplication>
#include <QBitmap>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QColor qcolor(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Rows of the list as the calendar's list view will show them.
class SampleList : public CListViewEx {
public:
    using CListViewEx::CListViewEx;

protected:
    void DrawItem(QPainter& p, int row, const QRect& rect, bool selected) override
    {
        static const char* const kRows[][2] = {
            {"09:00 ~ 10:00", "주간 회의"}, {"12:00 ~ 13:00", "점심 약속 (광화문)"},
            {"[음 11.1]", "[생일] 김민지"}, {"~ 12.20", "보고서 마감"}};
        const auto& r = kRows[row % 4];
        p.setFont(ZuFont(L"Tahoma", 13));
        p.setPen(selected ? Qt::white : QColor(0, 0, 255));
        p.drawText(rect.adjusted(4, 2, 0, -rect.height() / 2), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(r[0]));
        p.setPen(selected ? Qt::white : Qt::black);
        p.drawText(rect.adjusted(4, rect.height() / 2, 0, -2), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(r[1]));
    }
};

// Every bitmap with its id, its mask colour made transparent, on the colour it is shown on.
class BitmapSheet : public QWidget {
public:
    BitmapSheet()
    {
        const QColor command(120, 161, 245), content(218, 218, 218), window(255, 255, 255),
            month(62, 115, 221), white(255, 255, 255), green(0, 255, 0);
        const QColor prompt(225, 233, 252);
        auto add = [this](ZuModule m, UINT id, QColor under, QColor mask) {
            m_entries.push_back({id, ZuLoadBitmap(id, m), under, mask, QRect()});
        };
        for (UINT id : {129u, 152u})
            add(ZuModule::Calendar, id, window, white);
        add(ZuModule::Calendar, 131, QColor(170, 190, 230), green);
        add(ZuModule::Calendar, 167, month, month);
        add(ZuModule::Calendar, 174, command, white);
        for (UINT id : {175u, 176u, 178u, 179u, 180u, 181u, 182u, 183u, 218u, 219u})
            add(ZuModule::Calendar, id, command, white);
        for (UINT id = 186; id <= 193; ++id)
            add(ZuModule::Calendar, id, content, white);
        for (UINT id : {194u, 195u})
            add(ZuModule::Calendar, id, window, white);
        add(ZuModule::Calendar, 200, month, month);
        add(ZuModule::Calendar, 210, content, QColor());
        for (UINT id = 140; id <= 143; ++id)
            add(ZuModule::Options, id, prompt, white);
        add(ZuModule::Options, 144, window, QColor());
        // Flowed in rows of at most 240 pixels: a tile of the colour under each, its id below.
        int x = 0, y = 0, rowHeight = 0;
        for (Entry& e : m_entries) {
            const QSize s = e.pixmap.deviceIndependentSize().toSize() + QSize(8, 8);
            const QSize cell(std::max(s.width(), 26), s.height() + 11);
            if (x > 0 && x + cell.width() > 240) {
                x = 0;
                y += rowHeight + 2;
                rowHeight = 0;
            }
            e.tile = QRect(QPoint(x, y), s);
            x += cell.width() + 2;
            rowHeight = std::max(rowHeight, cell.height());
        }
        resize(240, y + rowHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(250, 250, 250));
        p.setFont(ZuFont(L"Tahoma", 9));
        for (const Entry& e : m_entries) {
            p.fillRect(e.tile, e.under);
            QPixmap shown = e.pixmap;
            if (e.mask.isValid())
                shown.setMask(shown.createMaskFromColor(e.mask, Qt::MaskInColor));
            p.drawPixmap(e.tile.topLeft() + QPoint(4, 4), shown);
            p.setPen(Qt::black);
            p.drawText(QRect(e.tile.left(), e.tile.bottom() + 1, 40, 10), Qt::AlignLeft | Qt::AlignTop,
                       QString::number(e.id));
        }
    }

private:
    struct Entry {
        UINT id;
        QPixmap pixmap;
        QColor under;
        QColor mask;  // invalid: drawn opaque
        QRect tile;
    };
    std::vector<Entry> m_entries;
};

// The widget at the screen's scale: NAME.png at 1x, NAME@2x.png at 2x.
void save(QWidget& w, const QString& folder, const QString& name, const ZuScreenOverlay* overlay = nullptr)
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
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", qPrintable(home.path()), 0);
    QApplication app(argc, argv);
    ZuInstallWidgetPresenters();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    QWidget controls;
    controls.resize(240, 320);
    QPalette palette = controls.palette();
    palette.setColor(QPalette::Window, qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    controls.setPalette(palette);
    controls.setAutoFillBackground(true);

    auto* content = new CEToolBar(&controls, 0xE800);
    content->setGeometry(0, 0, 240, 25);
    content->SetBkColor(RGB(218, 218, 218));
    content->AddButton(1000, -1, TBSTYLE_DROPDOWN, 100, CString(L"모든 그룹"));
    auto* date = new CZUDateTimeCtrl(&controls, 107);
    date->setGeometry(20, 26, 200, 21);
    date->SetOwnerDrawText(TRUE);
    date->SetText(CString(L"2026.12.10 목 [음 11.2]"));
    auto* list = new SampleList(&controls);
    list->setGeometry(0, 47, 240, 150);
    list->InsertColumn(0, CString(L"Subject"), 195);
    list->InsertColumn(1, CString(L"TaskStatus"), 30);
    list->SetItemCount(4);
    list->SetSelectedRow(1);
    auto* boxes = new CBoxSelect(&controls);
    boxes->setGeometry(0, 202, 240, 24);
    for (const wchar_t* day : {L"일", L"월", L"화", L"수", L"목", L"금", L"토"})
        boxes->Add(day, 0);
    auto* combo = new CZUComboBox(&controls);
    combo->setGeometry(10, 232, 140, 22);
    combo->addItems({QStringLiteral("매주 반복"), QStringLiteral("반복없음")});
    auto* label = new CLabel(&controls, 1009);
    label->setGeometry(0, 260, 240, 34);
    label->SetText(L"  2026.12.10\r\n  일정 3개, 할일 1개").SetBkColor(RGB(255, 255, 225)).SetBorder(TRUE);
    auto* bottom = new CEToolBar(&controls);
    bottom->setGeometry(0, 294, 240, 26);
    bottom->SetBkColor(RGB(120, 161, 245));
    bottom->SetFontBold(TRUE);
    bottom->AddMenuButton(1, CString(L"추가"), {});
    bottom->AddMenuButton(2, CString(L"도구"), {});
    controls.show();
    app.processEvents();
    save(controls, folder, QStringLiteral("controls"));

    CCheckPasswordDlg prompt(nullptr);
    prompt.show();
    app.processEvents();
    save(prompt, folder, QStringLiteral("password-prompt"));

    BitmapSheet sheet;
    sheet.show();
    app.processEvents();
    save(sheet, folder, QStringLiteral("bitmaps"));

    ZuShootCalendarScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) {
        save(w, f, n, o);
    });
    ZuShootRecurScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) {
        save(w, f, n, o);
    });
    ZuShootCategoryScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) {
        save(w, f, n, o);
    });
    ZuShootNoteScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    ZuShootOptionsScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    ZuShootCardScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    ZuShootAptmScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    ZuShootTaskScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    ZuShootBoardScreens(folder, [](QWidget& w, const QString& f, const QString& n, const ZuScreenOverlay* o) { save(w, f, n, o); });
    std::printf("screenshots in %s\n", qPrintable(folder));
    return 0;
}
