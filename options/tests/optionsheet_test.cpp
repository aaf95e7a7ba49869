// The options dialog: what a save writes and whom it tells (fake calendar and contacts programs),
// that cancelling writes nothing, the password checks, the week-view hour lists, failed writes,
// Enter, and the sheet's look. Driven through the real modal ShowOptionDlg.
#include "bitmap.h"
#include "datafolder.h"
#include "messagebox.h"
#include "optionstore.h"
#include "optiontestenv.h"
#include "passwordbackoff.h"
#include "resource.h"
#include "sip.h"
#include "windowmessage.h"
#include "widgets/modaldialog.h"
#include "widgets/optionsheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <functional>
#include <map>
#include <sqlite3.h>

namespace {

struct Box {
    std::string text, caption;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& b, std::ostream* os) { *os << "{" << b.text << " | " << b.caption << "}"; }

const Box kEmptyBox{"비밀번호를 입력해주세요.", "비밀번호 에러"};
const Box kLengthBox{"비밀번호는 4자 이상 12자 미만입니다. \n 확인해주세요.", "비밀번호 에러"};
const Box kLettersBox{"숫자와 영문 조합이어야 합니다", "비밀번호 에러"};
const Box kMismatchBox{"입력/재입력 문자가 동일하지 않습니다.\n다시 입력하세요.", "비밀번호 에러"};
const Box kNotSavedBox{"설정을 저장하지 못했습니다.\n다시 저장하거나 취소하십시오.", "환경설정"};

// Every row of the registry but the programs' window entries, as text.
std::vector<std::string> RegistrySnapshot()
{
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open(ZuDataFile("registry.db").c_str(), &db) != SQLITE_OK)
        return rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT key, name, type, hex(data) FROM reg_value WHERE fold <> 'dwhwnd' ORDER BY key, fold",
                       -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < 4; ++c)
            row += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, c))) + " ";
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

// Makes every write to the registry fail from now on, as a full or read-only disk would.
void RefuseRegistryWrites()
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(ZuDataFile("registry.db").c_str(), &db), SQLITE_OK);
    const char* refuse =
        "CREATE TRIGGER refuse_insert BEFORE INSERT ON reg_value BEGIN SELECT RAISE(ABORT, 'full'); END;"
        "CREATE TRIGGER refuse_update BEFORE UPDATE ON reg_value BEGIN SELECT RAISE(ABORT, 'full'); END;"
        "CREATE TRIGGER refuse_delete BEFORE DELETE ON reg_value BEGIN SELECT RAISE(ABORT, 'full'); END;";
    EXPECT_EQ(sqlite3_exec(db, refuse, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class OptionSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPasswordBackoff::Instance().Right();
        ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT) {
            m_boxes.push_back(Box{text.toUtf8(), caption.toUtf8()});
            return IDOK;
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler({});
        CPasswordBackoff::Instance().Right();
    }

    // ShowOptionDlg with `drive` run on the sheet once it is shown; a sheet still open afterwards
    // is cancelled. m_stayedOpen says whether it was still open.
    BOOL Run(const std::function<void(COptionSheet&)>& drive)
    {
        m_stayedOpen = false;
        ZuModalHandlerScope scope([&](QDialog& dialog) {
            auto* sheet = qobject_cast<COptionSheet*>(&dialog);
            ASSERT_TRUE(sheet);
            sheet->activateWindow();
            QApplication::setActiveWindow(sheet);
            drive(*sheet);
            m_stayedOpen = sheet->isVisible() && sheet->result() == 0;
        });
        return ShowOptionDlg(L"환경설정", nullptr);
    }

    template <class T> static T* Control(COptionSheet& sheet, UINT id)
    {
        T* found = sheet.GetActivePage()->findChild<T*>(QString::number(id));
        EXPECT_TRUE(found) << "control " << id;
        return found;
    }
    static void Tick(COptionSheet& sheet, UINT id)
    {
        auto* box = Control<QCheckBox>(sheet, id);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    static void Type(COptionSheet& sheet, UINT id, const QString& text)
    {
        auto* edit = Control<QLineEdit>(sheet, id);
        edit->clear();
        // Latin keys as keys, Hangul as the input method commits it.
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(edit, QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(edit, &commit);
            }
        }
        ASSERT_EQ(edit->text(), text);
    }
    static void ClickTab(COptionSheet& sheet, int index)
    {
        QTest::mouseClick(sheet.GetTabCtrl(), Qt::LeftButton, {}, sheet.GetTabCtrl()->tabRect(index).center());
        ASSERT_EQ(sheet.GetActiveIndex(), index);
    }
    static void ClickBar(COptionSheet& sheet, UINT command)
    {
        CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
        const int index = bar->CommandToIndex(command);
        ASSERT_GE(index, 0) << command;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(index).center());
    }
    // Changes every control of the three pages away from the defaults.
    static void ChangeEverything(COptionSheet& sheet)
    {
        Tick(sheet, ZU_IDC_LEFT_SCROLL);
        ClickTab(sheet, 1);
        for (UINT id : {ZU_IDC_CAL_PRIVATE, ZU_IDC_CAL_BIGFONT, ZU_IDC_TASK_STATUSBAR})
            Tick(sheet, id);
        Control<QComboBox>(sheet, ZU_IDC_WEEK_START)->setCurrentIndex(8);
        Control<QComboBox>(sheet, ZU_IDC_WEEK_END)->setCurrentIndex(2);  // 8 + 12 + 2 = 22
        ClickTab(sheet, 2);
        for (UINT id : {ZU_IDC_CONTACT_QUICKSEARCH, ZU_IDC_CONTACT_BIGFONT, ZU_IDC_CONTACT_MULTILINE})
            Tick(sheet, id);
    }
    std::string Log() const { return m_env.home() + "/messages.log"; }

    OptionTestEnv m_env;
    std::vector<Box> m_boxes;
    bool m_stayedOpen = false;
};

} // namespace

TEST_F(OptionSheet, SaveWritesAndNotifies)
{
    FakeProgram calendar, contact;
    ASSERT_TRUE(calendar.start("Calendar", Log()));
    ASSERT_TRUE(contact.start("Contact", Log()));
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        ChangeEverything(sheet);
        ClickBar(sheet, ZU_IDC_OPTION_SAVE);
    }));
    EXPECT_TRUE(m_boxes.empty());

    const _tabGeneralOpt general = GetGeneralOpt();
    EXPECT_TRUE(general.bLeftScrollFlag);
    EXPECT_FALSE(general.bSecurityFlag);
    const _tabCalendarOpt cal = GetCalendarOpt();
    EXPECT_TRUE(cal.bPrivateFlag && cal.bBigFontFlag);
    EXPECT_EQ(cal.nWvStartTime, 8);
    EXPECT_EQ(cal.nWvEndTime, 22);
    EXPECT_TRUE(GetTaskOpt().bStatusBarFlag);
    const _tabContactOpt con = GetContactOpt();
    EXPECT_TRUE(con.bShowQuickSearchBar && con.bBigFontFlag && con.bShowMultiLine);
    EXPECT_FALSE(con.bShowNameOnly);
    EXPECT_EQ(Key(L"Contact").ReadString(L"bShowNameOnly", nullptr), L"FALSE");

    const std::vector<std::string> expected = {
        "Calendar 4124 2 1", "Contact 4124 2 1",  // calendar first
        "Calendar 4124 33 1", "Calendar 4124 34 1", "Calendar 4124 37 " + std::to_string(MAKELONG(8, 22)),
        "Calendar 4124 52 1",
        "Contact 4124 18 1", "Contact 4124 20 0", "Contact 4124 17 1", "Contact 4124 19 1",
    };
    EXPECT_EQ(ReadLines(Log()), expected);

    // Saved again unchanged (through the menu's "저장"): nothing more is sent or written.
    const auto before = RegistrySnapshot();
    EXPECT_TRUE(Run([](COptionSheet& sheet) { ClickBar(sheet, ZU_ID_OPTION_MENU_SAVE); }));
    EXPECT_EQ(ReadLines(Log()), expected);
    EXPECT_EQ(RegistrySnapshot(), before);
}

TEST_F(OptionSheet, CancelWritesNothing)
{
    GetCalendarOpt();  // the hours' defaults are in the registry once anything has read them
    const auto before = RegistrySnapshot();
    const std::pair<const char*, std::function<void(COptionSheet&)>> cancels[] = {
        {"cancel button", [](COptionSheet& s) { ClickBar(s, IDCANCEL); }},
        {"menu 취소", [](COptionSheet& s) { ClickBar(s, ZU_ID_OPTION_MENU_CANCEL); }},
        {"Escape", [](COptionSheet& s) { QTest::keyClick(Control<QCheckBox>(s, ZU_IDC_CONTACT_BIGFONT), Qt::Key_Escape); }},
        {"window closed", [](COptionSheet& s) { s.close(); }},
    };
    for (const auto& [name, cancel] : cancels) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Run([&](COptionSheet& sheet) {
            ChangeEverything(sheet);
            cancel(sheet);
            EXPECT_FALSE(sheet.isVisible());
        }));
        EXPECT_FALSE(m_stayedOpen);
        EXPECT_EQ(RegistrySnapshot(), before);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(OptionSheet, PasswordValidation)
{
    GetCalendarOpt();
    const auto before = RegistrySnapshot();
    const struct {
        const char* name;
        QString text, again;
        Box box;
    } refused[] = {
        {"empty", "", "", kEmptyBox},
        {"3 characters", "abc", "abc", kLengthBox},
        {"12 characters", "abcdef123456", "abcdef123456", kLengthBox},
        {"a space", "abc 1234", "abc 1234", kLettersBox},
        {"Hangul", QStringLiteral("비밀번호12"), QStringLiteral("비밀번호12"), kLettersBox},
        {"mismatch", "abcd1234", "abcd1243", kMismatchBox},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.name);
        m_boxes.clear();
        EXPECT_FALSE(Run([&](COptionSheet& sheet) {
            Tick(sheet, ZU_IDC_USE_PASSWORD);
            Type(sheet, ZU_IDC_PASSWORD_NEW, row.text);
            Type(sheet, ZU_IDC_PASSWORD_AGAIN, row.again);
            ClickBar(sheet, ZU_IDC_OPTION_SAVE);
        }));
        EXPECT_TRUE(m_stayedOpen);
        EXPECT_EQ(m_boxes, std::vector<Box>{row.box});
        EXPECT_EQ(RegistrySnapshot(), before);
    }

    // Eight letters and digits: stored, but neither as typed nor in the old scrambled form.
    m_boxes.clear();
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        Tick(sheet, ZU_IDC_USE_PASSWORD);
        Type(sheet, ZU_IDC_PASSWORD_NEW, "Passw0rd");
        Type(sheet, ZU_IDC_PASSWORD_AGAIN, "Passw0rd");
        ClickBar(sheet, ZU_IDC_OPTION_SAVE);
    }));
    EXPECT_TRUE(m_boxes.empty());
    const CString stored = Key(L"General").ReadString(L"strSecurityValue", nullptr);
    EXPECT_FALSE(stored.IsEmpty());
    EXPECT_EQ(stored.str().find(L"Passw0rd"), std::wstring::npos);
    EXPECT_NE(COptionStore::DecodePassword(stored), L"Passw0rd");
    EXPECT_EQ(Key(L"General").ReadString(L"bSecurityFlag", nullptr), L"TRUE");
    EXPECT_EQ(GetGeneralOpt().strSecurityValue, L"");
    EXPECT_EQ(COptionStore().CheckPassword(L"Passw0rd"), COptionStore::PasswordCheck::Right);

    // The edits start empty; saving other options keeps the password as it is.
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        EXPECT_TRUE(Control<QCheckBox>(sheet, ZU_IDC_USE_PASSWORD)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(sheet, ZU_IDC_PASSWORD_NEW)->text(), "");
        Tick(sheet, ZU_IDC_LEFT_SCROLL);
        ClickBar(sheet, ZU_IDC_OPTION_SAVE);
    }));
    EXPECT_EQ(Key(L"General").ReadString(L"strSecurityValue", nullptr), stored);
    EXPECT_EQ(COptionStore().CheckPassword(L"Passw0rd"), COptionStore::PasswordCheck::Right);

    // Switched off: the flag goes FALSE and the stored password is gone.
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        Tick(sheet, ZU_IDC_USE_PASSWORD);
        ClickBar(sheet, ZU_IDC_OPTION_SAVE);
    }));
    EXPECT_EQ(Key(L"General").ReadString(L"bSecurityFlag", nullptr), L"FALSE");
    EXPECT_FALSE(Key(L"General").ValueExists(L"strSecurityValue"));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(OptionSheet, PasswordControlsFollowTheCheckBox)
{
    EXPECT_FALSE(Run([](COptionSheet& sheet) {
        const UINT ids[] = {1002, 1003, 1004, 1005, 1006, 1007, 1008};
        auto* use = Control<QCheckBox>(sheet, ZU_IDC_USE_PASSWORD);
        EXPECT_TRUE(use->isVisible());
        for (UINT id : ids)
            EXPECT_FALSE(Control<QWidget>(sheet, id)->isVisible()) << id;
        Tick(sheet, ZU_IDC_USE_PASSWORD);
        for (UINT id : ids)
            EXPECT_TRUE(Control<QWidget>(sheet, id)->isVisible()) << id;

        // The input panel is up while a password edit has the focus.
        SIPINFO info;
        info.cbSize = SIPINFO_SIZE;
        Control<QLineEdit>(sheet, ZU_IDC_PASSWORD_NEW)->setFocus();
        ASSERT_TRUE(SipGetInfo(&info));
        EXPECT_TRUE(info.fdwFlags & SIPF_ON);
        use->setFocus();
        ASSERT_TRUE(SipGetInfo(&info));
        EXPECT_FALSE(info.fdwFlags & SIPF_ON);

        Tick(sheet, ZU_IDC_USE_PASSWORD);
        for (UINT id : ids)
            EXPECT_FALSE(Control<QWidget>(sheet, id)->isVisible()) << id;
        // Closed while an edit has the focus: the panel goes down with the sheet.
        Tick(sheet, ZU_IDC_USE_PASSWORD);
        Control<QLineEdit>(sheet, ZU_IDC_PASSWORD_AGAIN)->setFocus();
        ASSERT_TRUE(SipGetInfo(&info));
        EXPECT_TRUE(info.fdwFlags & SIPF_ON);
        QTest::keyClick(Control<QLineEdit>(sheet, ZU_IDC_PASSWORD_AGAIN), Qt::Key_Escape);
    }));
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    ASSERT_TRUE(SipGetInfo(&info));
    EXPECT_FALSE(info.fdwFlags & SIPF_ON);
}

TEST_F(OptionSheet, HourLists)
{
    const auto items = [](QComboBox* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out.join(' ').toStdString();
    };
    // Stored 6 and 24 (the defaults): "6", "18" to "24" with "24"; start 11 leaves "23" "24".
    EXPECT_FALSE(Run([&](COptionSheet& sheet) {
        ClickTab(sheet, 1);
        auto* start = Control<QComboBox>(sheet, ZU_IDC_WEEK_START);
        auto* end = Control<QComboBox>(sheet, ZU_IDC_WEEK_END);
        EXPECT_EQ(items(start), "0 1 2 3 4 5 6 7 8 9 10 11");
        EXPECT_EQ(start->currentText(), "6");
        EXPECT_EQ(items(end), "18 19 20 21 22 23 24");
        EXPECT_EQ(end->currentText(), "24");
        start->setCurrentIndex(11);
        EXPECT_EQ(items(end), "23 24");
        EXPECT_EQ(end->currentText(), "24");
        // From 6 to 18, start 11 offers no 18: the nearest end, 23, is chosen.
        start->setCurrentIndex(6);
        end->setCurrentIndex(0);
        start->setCurrentIndex(11);
        EXPECT_EQ(end->currentText(), "23");
        start->setCurrentIndex(3);
        EXPECT_EQ(items(end), "15 16 17 18 19 20 21 22 23 24");
        EXPECT_EQ(end->currentText(), "23");
    }));

    // Stored hours the lists do not offer are saved as the nearest ones offered.
    const struct {
        DWORD start, end;
        int savedStart, savedEnd;
    } rows[] = {{15, 24, 11, 24}, {6, 10, 6, 18}, {11, 18, 11, 23}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.start) + " to " + std::to_string(row.end));
        Key(L"Calendar").WriteDWORD(L"nWvStartTime", row.start);
        Key(L"Calendar").WriteDWORD(L"nWvEndTime", row.end);
        EXPECT_TRUE(Run([&](COptionSheet& sheet) {
            ClickTab(sheet, 1);
            EXPECT_EQ(Control<QComboBox>(sheet, ZU_IDC_WEEK_START)->currentText().toInt(), row.savedStart);
            EXPECT_EQ(Control<QComboBox>(sheet, ZU_IDC_WEEK_END)->currentText().toInt(), row.savedEnd);
            ClickBar(sheet, ZU_IDC_OPTION_SAVE);
        }));
        EXPECT_EQ(Key(L"Calendar").ReadDWORD(L"nWvStartTime", 0), static_cast<DWORD>(row.savedStart));
        EXPECT_EQ(Key(L"Calendar").ReadDWORD(L"nWvEndTime", 0), static_cast<DWORD>(row.savedEnd));
    }
}

TEST_F(OptionSheet, WriteFailureVisible)
{
    FakeProgram calendar;
    ASSERT_TRUE(calendar.start("Calendar", Log()));
    GetCalendarOpt();
    RefuseRegistryWrites();
    const auto before = RegistrySnapshot();
    EXPECT_FALSE(Run([&](COptionSheet& sheet) {
        ChangeEverything(sheet);
        ClickBar(sheet, ZU_IDC_OPTION_SAVE);
        EXPECT_EQ(m_boxes, std::vector<Box>{kNotSavedBox});
        EXPECT_TRUE(sheet.isVisible()) << "the sheet stays open for another try or a cancel";
    }));
    EXPECT_TRUE(m_stayedOpen);
    EXPECT_TRUE(ReadLines(Log()).empty()) << "no program is told a value the registry lacks";
    EXPECT_EQ(RegistrySnapshot(), before);
    EXPECT_FALSE(GetGeneralOpt().bLeftScrollFlag);
}

TEST_F(OptionSheet, EnterGoesThroughApply)
{
    GetCalendarOpt();
    const auto before = RegistrySnapshot();
    EXPECT_FALSE(Run([this](COptionSheet& sheet) {
        Tick(sheet, ZU_IDC_LEFT_SCROLL);
        Tick(sheet, ZU_IDC_USE_PASSWORD);
        Type(sheet, ZU_IDC_PASSWORD_NEW, "abc");
        Type(sheet, ZU_IDC_PASSWORD_AGAIN, "abc");
        QTest::keyClick(Control<QLineEdit>(sheet, ZU_IDC_PASSWORD_AGAIN), Qt::Key_Return);
        EXPECT_EQ(m_boxes, std::vector<Box>{kLengthBox});
        QTest::keyClick(Control<QCheckBox>(sheet, ZU_IDC_LEFT_SCROLL), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(m_boxes, (std::vector<Box>{kLengthBox, kLengthBox}));
        EXPECT_TRUE(sheet.isVisible());
    }));
    EXPECT_EQ(RegistrySnapshot(), before);

    // Enter with valid pages saves, and so does a save command that reaches a page.
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        Tick(sheet, ZU_IDC_LEFT_SCROLL);
        QTest::keyClick(Control<QCheckBox>(sheet, ZU_IDC_LEFT_SCROLL), Qt::Key_Return);
    }));
    EXPECT_TRUE(GetGeneralOpt().bLeftScrollFlag);
    EXPECT_TRUE(Run([](COptionSheet& sheet) {
        ClickTab(sheet, 2);
        Tick(sheet, ZU_IDC_CONTACT_BIGFONT);
        ZuMessageEvent save(WM_COMMAND, ZU_IDC_OPTION_SAVE, 0);
        QCoreApplication::sendEvent(sheet.GetActivePage(), &save);
    }));
    EXPECT_TRUE(GetContactOpt().bBigFontFlag);
}

TEST_F(OptionSheet, Look)
{
    EXPECT_FALSE(Run([](COptionSheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), "환경설정");
        EXPECT_EQ(sheet.size(), QSize(240, 294));
        CEnTabCtrl* tabs = sheet.GetTabCtrl();
        ASSERT_TRUE(tabs);
        const auto captions = [&] {
            return (tabs->tabText(0) + "|" + tabs->tabText(1) + "|" + tabs->tabText(2)).toStdString();
        };
        EXPECT_EQ(captions(), "일반||");
        ClickTab(sheet, 2);
        EXPECT_EQ(captions(), "||주소록");
        EXPECT_FALSE(Control<QCheckBox>(sheet, ZU_IDC_CONTACT_NAMEONLY)->isVisible());
        ClickTab(sheet, 1);
        EXPECT_EQ(captions(), "|일정|");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(tabs->GetItemImage(i), i);

        const QImage shot = sheet.grab().toImage().scaled(sheet.size());
        const QRect page = sheet.GetPageRect();
        // The heading: dark blue text in the band above y 24, the line at y 24.
        bool blue = false;
        for (int x = 8; x < 80 && !blue; ++x)
            for (int y = 4; y < 22 && !blue; ++y) {
                const QColor c = shot.pixelColor(page.left() + x, page.top() + y);
                blue = c.red() < 60 && c.green() < 60 && c.blue() > 110;
            }
        EXPECT_TRUE(blue) << "no dark blue heading";
        EXPECT_EQ(shot.pixelColor(page.left() + 200, page.top() + 24), QColor(Qt::black));
        EXPECT_EQ(shot.pixelColor(page.left() + 200, page.top() + 12), QColor(Qt::white));
        // The bar's blue after its last button, the tabs' colour right of the last tab.
        CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
        const QPoint inBar = bar->geometry().topLeft() + QPoint(235, 12);
        EXPECT_EQ(shot.pixelColor(inBar), QColor(120, 161, 245));
        const QPoint inTabs = tabs->geometry().topLeft() + QPoint(tabs->tabRect(2).right() + 10, 12);
        EXPECT_EQ(shot.pixelColor(inTabs), QColor(200, 235, 235));
        // The save and cancel images on the bar.
        for (UINT id : {ZU_IDB_OPTION_SAVE, ZU_IDB_OPTION_CANCEL, ZU_IDB_OPTION_TABS})
            EXPECT_FALSE(ZuLoadBitmap(id, ZuModule::Options).isNull()) << id;
        EXPECT_EQ(ZuLoadBitmap(ZU_IDB_OPTION_TABS, ZuModule::Options).deviceIndependentSize().toSize(), QSize(48, 16));
        ClickBar(sheet, IDCANCEL);
    }));
}
