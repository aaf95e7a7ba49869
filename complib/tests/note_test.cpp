// The note page with the ink window: what a record's note becomes after drawing, typing and the
// bar's commands, and that notes the page cannot show (or cannot show at all, without the ink
// library) come back byte for byte.
#include "widgets/note.h"

#include "resource.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"

#include "cedbdatabase.h"
#include "inkdata.h"
#include "inkmessages.h"
#include "messagebox.h"
#include "pimstore.h"
#include "popupmenu.h"
#include "testhome.h"
#include "windowmessage.h"

#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

CEOID writeAppointment(const QByteArray& note)
{
    CCeDBDatabase db;
    if (!db.Open(ZU_DB_APPOINTMENTS)) {
        EXPECT_TRUE(db.Create(ZU_DB_APPOINTMENTS));
    }
    CCeDBRecord r;
    const CCeDBProp subject(L"회의", ZUID_APT_SUBJECT);
    r.AddProp(&subject);
    if (!note.isEmpty()) {
        CEBLOB blob{static_cast<DWORD>(note.size()), reinterpret_cast<LPBYTE>(const_cast<char*>(note.constData()))};
        const CCeDBProp prop(blob, ZUID_APT_NOTE);
        r.AddProp(&prop);
    }
    return db.WriteRecord(r, 0);
}

QByteArray blobOf(CNote& page)
{
    CEBLOB blob;
    EXPECT_EQ(page.GetNoteBlob(&blob), 1);
    const QByteArray bytes = blob.lpb ? QByteArray(reinterpret_cast<const char*>(blob.lpb), blob.dwCount) : QByteArray();
    if (blob.lpb)
        LocalFree(blob.lpb);
    else
        EXPECT_EQ(blob.dwCount, 0u);
    return bytes;
}

// The messages the ink window received, the view attributes as they were sent.
class InkSpy : public QObject {
public:
    struct Sent {
        UINT message;
        WPARAM wParam;
        INKVIEWATTR attr;
    };
    std::vector<Sent> sent;
    const Sent* last(UINT message) const
    {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType()) {
            const auto* m = static_cast<ZuMessageEvent*>(e);
            Sent s{m->message(), m->wParam(), {}};
            if (m->message() == INKM_SETVIEWATTR)
                s.attr = *reinterpret_cast<const INKVIEWATTR*>(m->lParam());
            sent.push_back(s);
        }
        return false;
    }
};

class NotePage : public ::testing::Test {
protected:
    void TearDown() override
    {
        ZuSetPopupMenuHandler({});
        ::unsetenv("ZUPIMS_INKX");
    }

    // Opens the page on the record as the sheet does on the first visit of the tab.
    std::unique_ptr<CNote> open(CEOID oid)
    {
        auto page = std::make_unique<CNote>();
        page->SetEventData(oid, ZU_SEL_APPOINTMENTS);
        page->resize(240, 220);
        page->show();
        page->OnInitDialog();
        if (QWidget* ink = page->GetInkWindow())
            ink->installEventFilter(&spy);
        page->OnSetActive();
        return page;
    }

    // Clicks the bar's button of that command, answering its menu with `choose` (0: none).
    void click(CNote& page, UINT command, UINT choose = 0)
    {
        CCeCommandBarEx* bar = page.GetToolBar();
        ZuSetPopupMenuHandler([choose](const std::vector<ZuMenuEntry>&, QPoint) { return choose; });
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(bar->CommandToIndex(command)).center());
    }

    ZuTestHome home;
    InkSpy spy;
};

TEST_F(NotePage, DrawAndTypeRoundTrip)
{
    auto page = open(writeAppointment(QByteArray()));
    QWidget* ink = page->GetInkWindow();
    ASSERT_NE(ink, nullptr);
    EXPECT_EQ(ink->windowTitle(), QStringLiteral("INKX"));
    EXPECT_EQ(ink->geometry(), QRect(0, 0, 240, 195));
    EXPECT_EQ(page->GetToolBar()->geometry(), QRect(0, 195, 240, 25));

    QTest::mousePress(ink, Qt::LeftButton, Qt::NoModifier, QPoint(20, 40));
    QTest::mouseMove(ink, QPoint(60, 60));
    QTest::mouseMove(ink, QPoint(100, 40));
    QTest::mouseRelease(ink, Qt::LeftButton, Qt::NoModifier, QPoint(100, 40));
    QTest::mouseClick(ink, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));
    for (const char* preedit : {"ㅁ", "메"}) {
        QInputMethodEvent e(QString::fromUtf8(preedit), {});
        QCoreApplication::sendEvent(ink, &e);
    }
    for (const char* commit : {"메", "모"}) {
        QInputMethodEvent e;
        e.setCommitString(QString::fromUtf8(commit));
        QCoreApplication::sendEvent(ink, &e);
    }
    ASSERT_TRUE(page->OnApply());
    const QByteArray bytes = blobOf(*page);
    InkNote note;
    ASSERT_EQ(ZuReadInk(bytes, &note), InkRead::Ours);
    ASSERT_EQ(note.items.size(), 2u);
    EXPECT_EQ(std::get<InkStroke>(note.items[0]).points.size(), 3u);  // down, two moves
    EXPECT_EQ(std::get<InkText>(note.items[1]).text, QString::fromUtf8("메모"));

    // Stored and opened again, OK gives the same bytes.
    auto again = open(writeAppointment(bytes));
    EXPECT_TRUE(again->IsNoteLoaded());
    again->OnApply();
    EXPECT_EQ(blobOf(*again), bytes);
}

TEST_F(NotePage, UnknownDataPassesThrough)
{
    InkNote withUnknown;
    withUnknown.items.emplace_back(InkStroke{0xFF0000, 200, {QPoint(0, 0), QPoint(3000, 3000)}});
    withUnknown.items.emplace_back(InkUnknown{QByteArray::fromHex("3000000002000000CAFE")});
    QByteArray major2 = ZuWriteInk(withUnknown);
    major2[4] = 2;
    const struct {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"random bytes", QByteArray::fromHex("00FF1234567890ABCDEF5A494E4B0102")},
        {"major 2", major2},
        {"unknown section", ZuWriteInk(withUnknown)},
    };
    for (const auto& row : rows) {
        auto page = open(writeAppointment(row.bytes));
        ASSERT_TRUE(page->IsNoteLoaded()) << row.name;
        page->OnApply();
        EXPECT_EQ(blobOf(*page), row.bytes) << row.name;
    }
}

TEST_F(NotePage, EmptyNoteIsZeroBytes)
{
    InkNote n;
    n.items.emplace_back(InkText{QPoint(100, 100), 1300, QString::fromUtf8("지울 메모")});
    auto page = open(writeAppointment(ZuWriteInk(n)));
    click(*page, ID_NOTE_MENU_EDIT, ID_NOTE_SELALL);
    click(*page, ID_NOTE_MENU_EDIT, ID_NOTE_CLEAR);
    page->OnApply();
    EXPECT_TRUE(blobOf(*page).isEmpty());

    // A record without a note, opened and closed with OK: still no bytes.
    auto fresh = open(writeAppointment(QByteArray()));
    EXPECT_FALSE(fresh->IsNoteLoaded());
    fresh->OnApply();
    EXPECT_TRUE(blobOf(*fresh).isEmpty());
    EXPECT_EQ(fresh->GetNoteBlob(nullptr), 0);
}

TEST_F(NotePage, WithoutTheInkLibrary)
{
    ::setenv("ZUPIMS_INKX", "none", 1);
    const QByteArray note = QByteArray::fromHex("5A494E4B01000000");
    auto page = open(writeAppointment(note));
    EXPECT_EQ(page->GetInkWindow(), nullptr);
    EXPECT_TRUE(page->findChildren<QWidget*>(QStringLiteral("InkX")).isEmpty());
    EXPECT_TRUE(page->OnApply());
    EXPECT_EQ(blobOf(*page), note);
}

TEST_F(NotePage, ToolbarCommands)
{
    auto page = open(writeAppointment(QByteArray()));
    CCeCommandBarEx* bar = page->GetToolBar();
    // On the first visit: the last pen mode, the view with mask 12, lines and zoom.
    ASSERT_NE(spy.last(INKM_SETPENMODE), nullptr);
    EXPECT_EQ(spy.last(INKM_SETPENMODE)->wParam, 0u);
    EXPECT_EQ(spy.sent.size(), 5u);
    EXPECT_EQ(spy.sent[2].attr.mask, 12);

    click(*page, ID_NOTE_MENU_PEN, ID_PEN_SPACE);
    EXPECT_EQ(spy.last(INKM_SETPENMODE)->wParam, 2u);
    click(*page, ID_NOTE_PEN);  // pen off: objects are selected, the pen-mode drop-down goes
    EXPECT_FALSE(page->IsPenOn());
    EXPECT_EQ(spy.last(INKM_SETPENMODE)->wParam, 1u);
    EXPECT_EQ(bar->GetItemRect(bar->CommandToIndex(ID_NOTE_MENU_PEN)).width(), 0);
    click(*page, ID_NOTE_PEN);  // on: back to the last mode
    EXPECT_EQ(spy.last(INKM_SETPENMODE)->wParam, 2u);
    EXPECT_GT(bar->GetItemRect(bar->CommandToIndex(ID_NOTE_MENU_PEN)).width(), 0);

    click(*page, ID_NOTE_MENU_ZOOM, ID_ZOOM_150);
    EXPECT_EQ(spy.last(INKM_SETVIEWATTR)->attr.mask, 1);
    EXPECT_EQ(spy.last(INKM_SETVIEWATTR)->attr.zoom, 150);
    click(*page, ID_NOTE_MENU_LINES, ID_LINES_GRID);
    EXPECT_EQ(spy.last(INKM_SETVIEWATTR)->attr.mask, 2);
    EXPECT_EQ(spy.last(INKM_SETVIEWATTR)->attr.lines, 4);
    EXPECT_TRUE(page->GetMenu(1)[0].checked);
    EXPECT_FALSE(page->GetMenu(1)[3].checked);

    click(*page, ID_NOTE_VOICEBAR);
    EXPECT_EQ(spy.last(INKM_SHOWVOICEBAR)->wParam, 1u);

    // The edit menu offers cut, copy and clear only with a selection.
    std::vector<ZuMenuEntry> shown;
    ZuSetPopupMenuHandler([&](const std::vector<ZuMenuEntry>& e, QPoint) { shown = e; return 0u; });
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(bar->CommandToIndex(ID_NOTE_MENU_EDIT)).center());
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_FALSE(shown[0].enabled);
    EXPECT_TRUE(shown[4].enabled);

    // 45002 hides the bar and gives the ink window the whole page, and back.
    ZuMessageEvent toggle(WM_COMMAND, MAKELONG(ID_SHEET_SHOW_TOOLBAR, 0), 0);
    QCoreApplication::sendEvent(page.get(), &toggle);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(page->GetInkWindow()->geometry(), QRect(0, 0, 240, 220));
    QCoreApplication::sendEvent(page.get(), &toggle);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(page->GetInkWindow()->geometry(), QRect(0, 0, 240, 195));
    // The bar's grey below the ink window's white, past the last button.
    const QImage shot = page->grab().toImage();
    EXPECT_EQ(shot.pixelColor(230, 210), QColor(215, 215, 215));
    EXPECT_EQ(shot.pixelColor(230, 180), QColor(Qt::white));
}

// In the event sheet: the note's button shows in the sheet's bar only while the note tab is up,
// and OK through the sheet takes the drawing.
TEST_F(NotePage, InTheEventSheet)
{
    CPropertyPage summary(0, CString(L"일정"));
    CNote note;
    note.SetEventData(writeAppointment(QByteArray()), ZU_SEL_APPOINTMENTS);
    CMakeEventSheet sheet(CString(L"일정"));
    sheet.SetEventType(CMakeEventSheet::Appointment);
    sheet.AddPage(&summary);
    sheet.AddPage(&note);
    bool shownWithNote = false, hiddenWithout = false;
    ZuModalHandlerScope scope([&](QDialog&) {
        CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
        const auto width = [&] { return bar->GetItemRect(bar->CommandToIndex(ID_SHEET_SHOW_TOOLBAR)).width(); };
        sheet.SetActivePage(&note);
        shownWithNote = width() > 0 && bar->IsButtonPressed(ID_SHEET_SHOW_TOOLBAR);
        QWidget* ink = note.GetInkWindow();
        ASSERT_NE(ink, nullptr);
        QTest::mousePress(ink, Qt::LeftButton, Qt::NoModifier, QPoint(20, 40));
        QTest::mouseMove(ink, QPoint(90, 60));
        QTest::mouseRelease(ink, Qt::LeftButton, Qt::NoModifier, QPoint(90, 60));
        sheet.SetActivePage(&summary);
        hiddenWithout = width() == 0 && !note.GetToolBar()->isVisible();
        const int ok = bar->CommandToIndex(ZuCompLibRes::IdSheetOk);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(ok).center());
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_TRUE(shownWithNote);
    EXPECT_TRUE(hiddenWithout);
    InkNote read;
    ASSERT_EQ(ZuReadInk(blobOf(note), &read), InkRead::Ours);
    EXPECT_EQ(read.items.size(), 1u);
}

// A stored note cut short or with one bit flipped at any place opens, paints and comes back as
// it was stored.
TEST_F(NotePage, CorruptNotesNeverCrash)
{
    InkNote n;
    n.items.emplace_back(InkStroke{0, 150, {QPoint(100, 200), QPoint(5000, 6000), QPoint(7000, 100)}});
    n.items.emplace_back(InkText{QPoint(300, 8000), 1300, QString::fromUtf8("한글")});
    const QByteArray good = ZuWriteInk(n);
    std::vector<QByteArray> corrupt;
    for (qsizetype len = 1; len < good.size(); len += 3)
        corrupt.push_back(good.left(len));
    for (qsizetype bit = 0; bit < good.size() * 8; bit += 5) {
        QByteArray b = good;
        b[bit / 8] = static_cast<char>(b[bit / 8] ^ (1 << (bit % 8)));
        corrupt.push_back(b);
    }
    for (const QByteArray& bytes : corrupt) {
        auto page = open(writeAppointment(bytes));
        (void)page->grab();
        page->OnApply();
        ASSERT_EQ(blobOf(*page), bytes);
    }
}

} // namespace
