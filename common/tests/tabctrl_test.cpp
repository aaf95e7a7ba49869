// The tab strips: the owner-drawn plain look, the suite's custom look switched for every strip at
// once, tab images from the image list, and tabs chosen with the pen.
#include "widgets/basetabctrl.h"
#include "widgets/entabctrl.h"
#include "widgets/syscolors.h"
#include "widgettest.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kStrip = RGB(200, 235, 235);
constexpr COLORREF kMarker = RGB(255, 0, 0);

// A strip of 16-pixel images: image i has a red square in its middle when i is 1, else is white.
CZuImageList Images()
{
    QPixmap strip(32, 16);
    strip.fill(Qt::white);
    QPainter p(&strip);
    p.fillRect(16 + 4, 4, 8, 8, Qt::red);
    p.end();
    CZuImageList images;
    images.Create(strip, 16, RGB(255, 255, 255));
    return images;
}

template <class Tabs>
struct Strip {
    QWidget parent;
    Tabs* tabs = new Tabs(&parent, 1200);
    Strip()
    {
        parent.resize(240, 40);
        tabs->addTab("");
        tabs->addTab("");
        tabs->SetImageList(Images());
        tabs->SetItemImage(0, 0);
        tabs->SetItemImage(1, 1);
        tabs->SetBkgndColor(kStrip);
        tabs->EnableDraw(TRUE);
        tabs->setGeometry(0, 0, 240, tabs->sizeHint().height());
        parent.show();
    }
};

struct LookScope {
    explicit LookScope(BOOL on, DWORD style = ZU_TABLOOK_COLOR | ZU_TABLOOK_SELECTION) { CEnTabCtrl::EnableCustomLook(on, style); }
    ~LookScope() { CEnTabCtrl::EnableCustomLook(FALSE); }
};

}  // namespace

TEST(TabCtrl, PlainLookDrawsTheStripTabsAndImages)
{
    Strip<CBaseTabCtrl> s;
    EXPECT_EQ(s.tabs->objectName(), QString("1200"));
    EXPECT_EQ(s.tabs->height(), CBaseTabCtrl::kTabHeight + 1);
    const QRect t0 = s.tabs->tabRect(0), t1 = s.tabs->tabRect(1);
    EXPECT_EQ(t0.width(), CBaseTabCtrl::kMinTabWidth);  // an image and no text
    const QImage img = Pixels(*s.tabs);
    EXPECT_EQ(img.pixelColor(200, 10), rgb(kStrip)) << "past the tabs";
    EXPECT_EQ(img.pixelColor(t0.left() + 1, 2), rgb(ZuSysColor(ZU_COLOR_WINDOW))) << "selected tab";
    EXPECT_EQ(img.pixelColor(t1.left() + 1, 2), rgb(ZuSysColor(ZU_COLOR_BTNFACE))) << "other tab";
    EXPECT_EQ(img.pixelColor(t1.left(), 10), rgb(ZuSysColor(ZU_COLOR_BTNSHADOW))) << "frame";
    // The image of tab 1 at 3 px from its left edge, centred: its red square at 7..14, 7..14.
    const QRect square(t1.left() + 3 + 4, (CBaseTabCtrl::kTabHeight - 16) / 2 + 4, 8, 8);
    EXPECT_EQ(img.pixelColor(square.center()), rgb(kMarker));
    EXPECT_FALSE(HasColour(img, rgb(kMarker), t0)) << "tab 0 has the white image, drawn transparent";
}

TEST(TabCtrl, CustomLookIsForEveryStripAtOnce)
{
    Strip<CEnTabCtrl> a, b;
    const QRect t0 = a.tabs->tabRect(0), t1 = a.tabs->tabRect(1);
    const QImage plain = Pixels(*a.tabs);
    EXPECT_EQ(plain.pixelColor(t1.left() + 1, 2), rgb(ZuSysColor(ZU_COLOR_BTNFACE)));
    {
        LookScope look(TRUE);
        for (auto* tabs : {a.tabs, b.tabs}) {
            const QImage img = Pixels(*tabs);
            EXPECT_EQ(img.pixelColor(t1.left() + 2, 3), rgb(kStrip)) << "other tabs take the strip's colour";
            EXPECT_EQ(img.pixelColor(t0.left() + 2, 3), rgb(ZuSysColor(ZU_COLOR_WINDOW)));
            EXPECT_EQ(img.pixelColor(t0.center().x(), 0), rgb(ZuSysColor(ZU_COLOR_WINDOW)))
                << "the selected tab opens into the page";
            EXPECT_EQ(img.pixelColor(t1.center().x(), 0), rgb(ZuSysColor(ZU_COLOR_BTNSHADOW)));
            EXPECT_EQ(img.pixelColor(230, 0), rgb(ZuSysColor(ZU_COLOR_BTNSHADOW)));
        }
        Strip<CEnTabCtrl> later;  // made after the switch
        EXPECT_EQ(Pixels(*later.tabs).pixelColor(t1.left() + 2, 3), rgb(kStrip));
    }
    EXPECT_EQ(Pixels(*a.tabs), plain) << "switching off puts the plain look back";
}

TEST(TabCtrl, APenTapChoosesTheTabAndItsTextWidensIt)
{
    LookScope look(TRUE);
    Strip<CEnTabCtrl> s;
    QSignalSpy changed(s.tabs, &QTabBar::currentChanged);
    QTest::mouseClick(s.tabs, Qt::LeftButton, Qt::NoModifier, s.tabs->tabRect(1).center());
    EXPECT_EQ(s.tabs->currentIndex(), 1);
    EXPECT_EQ(changed.count(), 1);
    const QImage img = Pixels(*s.tabs);
    EXPECT_EQ(img.pixelColor(s.tabs->tabRect(1).left() + 2, 3), rgb(ZuSysColor(ZU_COLOR_WINDOW)));
    EXPECT_EQ(img.pixelColor(s.tabs->tabRect(0).left() + 2, 3), rgb(kStrip));

    const int narrow = s.tabs->tabRect(1).width();
    s.tabs->setTabText(1, QStringLiteral("그룹선택"));
    EXPECT_GT(s.tabs->tabRect(1).width(), narrow + 20);
    const QImage text = Pixels(*s.tabs);
    int dark = 0;
    const QRect r = s.tabs->tabRect(1).adjusted(20, 2, -2, -2);  // right of the image
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            dark += text.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 10) << "the name is drawn after the image";
}
