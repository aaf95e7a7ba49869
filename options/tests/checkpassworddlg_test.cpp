// The password prompt: when it is skipped, wrong and right entries, Enter, Escape and closing,
// driven through the real modal ShowCheckDlg.
#include "bitmap.h"
#include "filetime.h"
#include "messagebox.h"
#include "optionstore.h"
#include "optiontestenv.h"
#include "passwordbackoff.h"
#include "voregistry.h"
#include "widgets/checkpassworddlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QAbstractButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const char* const kWrongText = "비밀번호가 맞지 않습니다.\n다시 입력해주십시오.";
const char* const kWrongCaption = "비밀번호 체크 실패";

struct Box {
    std::string text, caption;
    UINT type;
    bool operator==(const Box&) const = default;
};

class PasswordPrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPasswordBackoff::Instance().Right();
        ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"Secret7", FALSE));
        ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT type) {
            m_boxes.push_back(Box{text.toUtf8(), caption.toUtf8(), type});
            return IDOK;
        });
    }
    void TearDown() override
    {
        ZuSetMessageBoxHandler({});
        ZuSetClock({});
        CPasswordBackoff::Instance().Right();
    }

    // ShowCheckDlg, with `drive` run on the prompt once it is shown and active (its edit then has
    // the focus); m_shown says whether it was.
    // A prompt that `drive` leaves open is cancelled (and the test fails).
    BOOL Run(const std::function<void(CCheckPasswordDlg&)>& drive)
    {
        m_shown = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<CCheckPasswordDlg*>(QApplication::activeModalWidget());
            if (!dlg || m_shown || !dlg->isActiveWindow())
                return;
            m_shown = true;
            poll.stop();
            drive(*dlg);
            if (dlg->isVisible()) {
                ADD_FAILURE() << "the prompt is still open";
                dlg->reject();
            }
        });
        poll.start();
        return ShowCheckDlg(nullptr);
    }

    static QLineEdit* Edit(CCheckPasswordDlg& dlg) { return dlg.findChild<QLineEdit*>("1014"); }
    static QAbstractButton* Button(CCheckPasswordDlg& dlg, const char* id) { return dlg.findChild<QAbstractButton*>(id); }
    static void Type(CCheckPasswordDlg& dlg, const QString& text) { QTest::keyClicks(Edit(dlg), text); }
    static void ClickOK(CCheckPasswordDlg& dlg) { QTest::mouseClick(Button(dlg, "1015"), Qt::LeftButton); }

    OptionTestEnv m_env;
    std::vector<Box> m_boxes;
    bool m_shown = false;
};

const Box kWrongBox{kWrongText, kWrongCaption, MB_OK};

} // namespace

TEST_F(PasswordPrompt, PromptSkippedWhileSuiteRuns)
{
    const auto cancel = [](CCheckPasswordDlg& dlg) { dlg.reject(); };
    {
        FakeProgram calendar;
        ASSERT_TRUE(calendar.start("Calendar", m_env.home() + "/messages.log"));
        EXPECT_TRUE(Run(cancel));
        EXPECT_FALSE(m_shown) << "a live calendar lets the user in without a prompt";
    }
    // A stale entry (a program that ended), and this program's own window, do not count.
    Key(L"Calendar").WriteDWORD(L"dwHWND", DeadHandle());
    EXPECT_FALSE(Run(cancel));
    EXPECT_TRUE(m_shown);

    RecordingWindow own;
    const HWND hwnd = ZuRegisterMainWindow(&own);
    ASSERT_TRUE(WriteRegistryHWND(hwnd, L"Contact"));
    EXPECT_FALSE(Run(cancel));
    EXPECT_TRUE(m_shown);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(PasswordPrompt, Layout)
{
    EXPECT_FALSE(Run([](CCheckPasswordDlg& dlg) {
        EXPECT_EQ(dlg.objectName(), "131");
        EXPECT_EQ(dlg.windowTitle(), "비밀번호 확인");
        ASSERT_TRUE(Edit(dlg));
        EXPECT_EQ(Edit(dlg)->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(Edit(dlg)->hasFocus());
        for (const char* id : {"1015", "2"}) {
            ASSERT_TRUE(Button(dlg, id)) << id;
            EXPECT_EQ(Button(dlg, id)->size(), QSize(69, 21)) << id;
        }
        // The image buttons over the background picture: their white corners show it.
        const QImage background = ZuLoadBitmap(144, ZuModule::Options).toImage().scaled(dlg.size());
        const QImage shown = dlg.grab().toImage().scaled(dlg.size());
        ASSERT_FALSE(background.isNull());
        for (const char* id : {"1015", "2"}) {
            const QPoint corner = Button(dlg, id)->pos();
            EXPECT_EQ(shown.pixelColor(corner), background.pixelColor(corner)) << id;
            const QPoint middle = corner + QPoint(10, 10);
            EXPECT_NE(shown.pixelColor(middle), background.pixelColor(middle)) << id;
        }
        QTest::mouseClick(Button(dlg, "2"), Qt::LeftButton);
    }));
}

TEST_F(PasswordPrompt, PromptRetries)
{
    // Wrong, then right: one message, the prompt stays open with the text selected, then TRUE.
    EXPECT_TRUE(Run([this](CCheckPasswordDlg& dlg) {
        Type(dlg, "secret7");
        ClickOK(dlg);
        EXPECT_EQ(m_boxes, std::vector<Box>{kWrongBox});
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(Edit(dlg)->selectedText(), "secret7");
        Type(dlg, "Secret7");  // replaces the selection
        EXPECT_EQ(Edit(dlg)->text(), "Secret7");
        ClickOK(dlg);
    }));
    EXPECT_EQ(m_boxes.size(), 1u);

    // The empty entry and Enter with a wrong text are refused; Enter with the right one lets in.
    m_boxes.clear();
    EXPECT_TRUE(Run([this](CCheckPasswordDlg& dlg) {
        ClickOK(dlg);
        Type(dlg, "Secret");
        QTest::keyClick(Edit(dlg), Qt::Key_Return);
        EXPECT_EQ(m_boxes, (std::vector<Box>{kWrongBox, kWrongBox}));
        EXPECT_TRUE(dlg.isVisible());
        Type(dlg, "Secret7");
        QTest::keyClick(Edit(dlg), Qt::Key_Return);
    }));

    // Cancel, Escape and closing the window refuse, with or without a text typed.
    const std::pair<const char*, std::function<void(CCheckPasswordDlg&)>> refusals[] = {
        {"cancel", [](CCheckPasswordDlg& dlg) { QTest::mouseClick(Button(dlg, "2"), Qt::LeftButton); }},
        {"Escape", [](CCheckPasswordDlg& dlg) { QTest::keyClick(Edit(dlg), Qt::Key_Escape); }},
        {"close", [](CCheckPasswordDlg& dlg) { dlg.close(); }},
    };
    for (const auto& [name, refuse] : refusals) {
        SCOPED_TRACE(name);
        m_boxes.clear();
        EXPECT_FALSE(Run([&](CCheckPasswordDlg& dlg) {
            Type(dlg, "Secret7");
            refuse(dlg);
        }));
        EXPECT_TRUE(m_shown);
        EXPECT_TRUE(m_boxes.empty());
    }
}

TEST_F(PasswordPrompt, RepeatedWrongEntriesPauseTheOKButton)
{
    ZuSetFixedClock(FILETIME{0x5F0E0000u, 0x01D8E000u});
    EXPECT_FALSE(Run([this](CCheckPasswordDlg& dlg) {
        for (int i = 0; i < 3; ++i) {
            Type(dlg, "wrong");
            QTest::keyClick(Edit(dlg), Qt::Key_Return);
        }
        EXPECT_EQ(m_boxes.size(), 3u);
        // The fourth try waits: OK is off, and Enter neither checks nor tells anything.
        EXPECT_FALSE(Button(dlg, "1015")->isEnabled());
        Type(dlg, "Secret7");
        QTest::keyClick(Edit(dlg), Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(m_boxes.size(), 3u);
        // The wait over, OK is back.
        EXPECT_TRUE(WaitFor([&] { return Button(dlg, "1015")->isEnabled(); }, 5000));
        dlg.reject();
    }));
}
