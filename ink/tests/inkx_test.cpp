// The ink window driven as a person would: pen drags, taps, keys and the input method; its data
// taken and given through its messages.
#include "widgets/inkx.h"

#include "windowmessage.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

LRESULT send(QWidget* w, UINT message, WPARAM wp = 0, LPARAM lp = 0)
{
    ZuMessageEvent e(message, wp, lp);
    QCoreApplication::sendEvent(w, &e);
    return e.result();
}

QByteArray take(QWidget* w)
{
    const LRESULT n = send(w, INKM_GETDATASIZE);
    QByteArray b(static_cast<qsizetype>(n), '\0');
    EXPECT_EQ(send(w, INKM_GETDATA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(b.data())), n);
    return b;
}

void give(QWidget* w, const QByteArray& b)
{
    send(w, INKM_SETDATA, static_cast<WPARAM>(b.size()), reinterpret_cast<LPARAM>(b.constData()));
}

void drag(QWidget* w, QPoint from, QPoint to)
{
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}

void compose(QWidget* w, const QString& preedit, const QString& commit)
{
    QInputMethodEvent e(preedit, {});
    if (!commit.isNull())
        e.setCommitString(commit);
    QCoreApplication::sendEvent(w, &e);
}

bool inked(const QImage& img, QRect r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                return true;
    return false;
}

struct Window {
    Window()
    {
        w.resize(240, 200);
        w.show();
        w.activateWindow();
        w.setFocus();
    }
    CInkX w;
};

TEST(InkX, DrawsAStrokeAndTypesHangulAtTheTappedCaret)
{
    Window win;
    drag(&win.w, QPoint(20, 30), QPoint(120, 30));
    QTest::mouseClick(&win.w, Qt::LeftButton, Qt::NoModifier, QPoint(30, 100));
    compose(&win.w, QString::fromUtf8("ㅎ"), QString());
    compose(&win.w, QString::fromUtf8("하"), QString());
    // The syllable being composed is drawn but not stored.
    ASSERT_EQ(win.w.Note().items.size(), 1u);
    EXPECT_EQ(win.w.inputMethodQuery(Qt::ImEnabled).toBool(), true);
    compose(&win.w, QString(), QString::fromUtf8("한"));
    compose(&win.w, QString(), QString::fromUtf8("글"));
    QTest::keyClick(&win.w, Qt::Key_A);

    const auto& items = win.w.Note().items;
    ASSERT_EQ(items.size(), 2u);
    const auto& stroke = std::get<InkStroke>(items[0]);
    EXPECT_EQ(stroke.points.front(), QPoint(2000, 3000));
    EXPECT_EQ(stroke.points.back(), QPoint(12000, 3000));
    const auto& text = std::get<InkText>(items[1]);
    EXPECT_EQ(text.at, QPoint(3000, 10000));
    EXPECT_EQ(text.text, QString::fromUtf8("한글a"));

    const QImage img = win.w.grab().toImage();
    EXPECT_TRUE(inked(img, QRect(60, 29, 20, 3)));    // the stroke
    EXPECT_TRUE(inked(img, QRect(30, 100, 30, 13)));  // the text
    EXPECT_FALSE(inked(img, QRect(150, 150, 40, 40)));

    // Given to a new window, the bytes come back the same.
    const QByteArray bytes = take(&win.w);
    CInkX again;
    give(&again, bytes);
    EXPECT_EQ(again.Note().items, items);
    EXPECT_EQ(take(&again), bytes);
}

TEST(InkX, OneFingerOrATabletPenDrawsAndTwoFingersDoNot)
{
    static QPointingDevice* finger = QTest::createTouchDevice();
    Window win;
    QTest::touchEvent(&win.w, finger).press(0, QPoint(20, 40));
    QTest::touchEvent(&win.w, finger).move(0, QPoint(50, 45));
    QTest::touchEvent(&win.w, finger).release(0, QPoint(80, 50));
    QTest::touchEvent(&win.w, finger).press(0, QPoint(20, 100)).press(1, QPoint(60, 100));
    QTest::touchEvent(&win.w, finger).move(0, QPoint(40, 120)).move(1, QPoint(90, 120));
    QTest::touchEvent(&win.w, finger).release(0, QPoint(40, 120)).release(1, QPoint(90, 120));
    ASSERT_EQ(win.w.Note().items.size(), 1u);
    const auto& s = std::get<InkStroke>(win.w.Note().items[0]);
    EXPECT_EQ(s.points.front(), QPoint(2000, 4000));
    EXPECT_EQ(s.points.back(), QPoint(8000, 5000));

    // A tablet's pen draws too.
    const auto pen = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QTabletEvent e(type, QPointingDevice::primaryPointingDevice(), at, win.w.mapToGlobal(at), 0.5, 0, 0, 0, 0, 0,
                       Qt::NoModifier, Qt::LeftButton, buttons);
        QCoreApplication::sendEvent(&win.w, &e);
    };
    pen(QEvent::TabletPress, QPointF(100, 150), Qt::LeftButton);
    pen(QEvent::TabletMove, QPointF(130, 160), Qt::LeftButton);
    pen(QEvent::TabletRelease, QPointF(160, 170), Qt::NoButton);
    ASSERT_EQ(win.w.Note().items.size(), 2u);
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[1]).points.back(), QPoint(16000, 17000));
}

TEST(InkX, LoadedBytesComeBackUnchangedUntilTheFirstEdit)
{
    // A page section that is larger than the strokes need and an unknown section: rewriting
    // would change the first, so only pass-through keeps it.
    InkNote n;
    n.page = QSize(50000, 50000);
    n.items.emplace_back(InkStroke{0, 150, {QPoint(100, 100), QPoint(900, 900)}});
    n.items.emplace_back(InkUnknown{QByteArray::fromHex("2000000004000000DEADBEEF")});
    QByteArray bytes = ZuWriteInk(n);
    bytes[6] = 3;  // a later minor
    Window win;
    give(&win.w, bytes);
    const INKVIEWATTR view{3, 0, 200, 4, 0, 0};
    send(&win.w, INKM_SETVIEWATTR, 0, reinterpret_cast<LPARAM>(&view));
    send(&win.w, INKM_SETPENMODE, INK_PEN_SELECT);
    send(&win.w, ZU_EM_SETSEL, 0, -1);
    send(&win.w, ZU_WM_COPY);
    EXPECT_EQ(take(&win.w), bytes);

    send(&win.w, INKM_SETPENMODE, INK_PEN_DRAW);
    drag(&win.w, QPoint(10, 150), QPoint(60, 150));
    InkNote read;
    ASSERT_EQ(ZuReadInk(take(&win.w), &read), InkRead::Ours);
    ASSERT_EQ(read.items.size(), 3u);
    EXPECT_EQ(read.items[1], n.items[1]);  // in its place, byte for byte
}

TEST(InkX, ForeignNoteIsAReadOnlyPlaceholderUntilSelectAllAndClear)
{
    const QByteArray foreign = QByteArray::fromHex("5A494E4B020000001000000001020304");
    Window win;
    give(&win.w, foreign);
    drag(&win.w, QPoint(20, 30), QPoint(120, 30));
    QTest::keyClick(&win.w, Qt::Key_A);
    send(&win.w, ZU_WM_CLEAR);
    EXPECT_EQ(take(&win.w), foreign);
    EXPECT_EQ(send(&win.w, ZU_EM_GETSEL), 0);
    EXPECT_TRUE(inked(win.w.grab().toImage(), QRect(60, 90, 120, 20)));  // "표시할 수 없는 메모"

    send(&win.w, ZU_EM_SETSEL, 0, -1);
    EXPECT_NE(send(&win.w, ZU_EM_GETSEL), 0);
    send(&win.w, ZU_WM_CLEAR);
    EXPECT_EQ(send(&win.w, INKM_GETDATASIZE), 0);
    drag(&win.w, QPoint(20, 30), QPoint(120, 30));
    EXPECT_EQ(win.w.Note().items.size(), 1u);
}

TEST(InkX, SelectMoveAndInsertSpace)
{
    Window win;
    drag(&win.w, QPoint(20, 20), QPoint(60, 20));
    drag(&win.w, QPoint(20, 80), QPoint(60, 80));
    send(&win.w, INKM_SETPENMODE, INK_PEN_SELECT);
    drag(&win.w, QPoint(10, 70), QPoint(70, 90));  // a rectangle around the second stroke
    EXPECT_EQ(send(&win.w, ZU_EM_GETSEL), MAKELONG(0, 1));
    drag(&win.w, QPoint(40, 80), QPoint(140, 90));  // dragging it
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[1]).points.front(), QPoint(12000, 9000));
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[0]).points.front(), QPoint(2000, 2000));

    send(&win.w, INKM_SETPENMODE, INK_PEN_SPACE);
    drag(&win.w, QPoint(100, 50), QPoint(100, 70));  // everything below y 50 goes 20 px down
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[1]).points.front(), QPoint(12000, 11000));
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[0]).points.front(), QPoint(2000, 2000));
}

TEST(InkX, CutAndPasteThroughTheClipboard)
{
    Window win;
    QTest::mouseClick(&win.w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    compose(&win.w, QString(), QString::fromUtf8("메모"));
    drag(&win.w, QPoint(20, 80), QPoint(60, 80));
    send(&win.w, ZU_EM_SETSEL, 0, -1);
    send(&win.w, ZU_WM_CUT);
    EXPECT_EQ(send(&win.w, INKM_GETDATASIZE), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("메모"));
    send(&win.w, ZU_WM_PASTE);
    ASSERT_EQ(win.w.Note().items.size(), 2u);
    EXPECT_EQ(std::get<InkText>(win.w.Note().items[0]).text, QString::fromUtf8("메모"));
}

TEST(InkX, ViewAttributesOutsideTheirRangeAreIgnored)
{
    Window win;
    for (const LONG zoom : {50, 301, 150, 0}) {
        INKVIEWATTR a{INKVA_ZOOM | INKVA_LINES, 0, zoom, 7, 0, 0};
        send(&win.w, INKM_SETVIEWATTR, 0, reinterpret_cast<LPARAM>(&a));
    }
    EXPECT_EQ(win.w.ViewAttr().zoom, 150);
    EXPECT_EQ(win.w.ViewAttr().lines, INK_LINES_NONE);
    EXPECT_EQ(send(&win.w, INKM_SETPENMODE, 3), 0);
    drag(&win.w, QPoint(30, 30), QPoint(60, 30));  // at 150 %: 20 px of the note
    EXPECT_EQ(std::get<InkStroke>(win.w.Note().items[0]).points.front(), QPoint(2000, 2000));
}

TEST(InkX, AnEditBeyondFourMebibytesIsNotTaken)
{
    InkNote n;
    InkStroke big{0, 150, std::vector<QPoint>((kInkMaxBytes - 60) / 8, QPoint(100, 100))};
    n.items.emplace_back(std::move(big));
    Window win;
    give(&win.w, ZuWriteInk(n));
    ASSERT_EQ(win.w.ReadState(), InkRead::Ours);
    drag(&win.w, QPoint(20, 30), QPoint(120, 30));
    EXPECT_EQ(win.w.Note().items.size(), 1u);
    QTest::mouseClick(&win.w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
    compose(&win.w, QString(), QString::fromUtf8("가"));
    EXPECT_EQ(win.w.Note().items.size(), 1u);
    EXPECT_LE(send(&win.w, INKM_GETDATASIZE), kInkMaxBytes);
}

} // namespace
