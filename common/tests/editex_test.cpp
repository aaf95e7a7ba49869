// The edit box: its own border (grey, black with the focus), the input panel with the focus, and
// Korean composed and committed through the input method.
#include "widgets/editex.h"
#include "widgets/syscolors.h"
#include "widgettest.h"

#include "sip.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QTest>
#include <QTextCharFormat>

#include <gtest/gtest.h>

namespace {

bool PanelOn()
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    SipGetInfo(&info);
    return info.fdwFlags & SIPF_ON;
}

void Preedit(QObject* target, const QString& text)
{
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    const QList<QInputMethodEvent::Attribute> attributes{
        {QInputMethodEvent::TextFormat, 0, static_cast<int>(text.size()), underline},
        {QInputMethodEvent::Cursor, static_cast<int>(text.size()), 1, QVariant()},
    };
    QInputMethodEvent event(text, attributes);
    QApplication::sendEvent(target, &event);
}

void Commit(QObject* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

struct EditWindow {
    QWidget window;
    CEditEx* edit = new CEditEx(&window, 1003);
    QLineEdit* other = new QLineEdit(&window);
    EditWindow()
    {
        window.resize(240, 80);
        edit->setGeometry(10, 10, 200, 22);
        other->setGeometry(10, 40, 200, 22);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

}  // namespace

TEST(EditEx, BorderAndInputPanelFollowTheFocus)
{
    EditWindow w;
    SipShowIM(SIPF_OFF);
    EXPECT_EQ(w.edit->objectName(), QString("1003"));
    w.other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.other->hasFocus(); }));
    EXPECT_FALSE(PanelOn());
    EXPECT_EQ(Pixels(*w.edit).pixelColor(0, 10), rgb(ZuSysColor(ZU_COLOR_BTNSHADOW)));

    QTest::mouseClick(w.edit, Qt::LeftButton, Qt::NoModifier, QPoint(50, 11));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.edit->hasFocus(); }));
    EXPECT_TRUE(PanelOn());
    const QImage focused = Pixels(*w.edit);
    EXPECT_EQ(focused.pixelColor(0, 10), rgb(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
    EXPECT_EQ(focused.pixelColor(199, 21), rgb(ZuSysColor(ZU_COLOR_WINDOWTEXT)));

    w.other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.other->hasFocus(); }));
    EXPECT_FALSE(PanelOn());
}

TEST(EditEx, HangulIsComposedThenCommitted)
{
    EditWindow w;
    w.edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.edit->hasFocus(); }));
    QObject* target = QGuiApplication::focusObject();
    ASSERT_EQ(target, w.edit);
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(target, &query);
    EXPECT_TRUE(query.value(Qt::ImEnabled).toBool());

    const QImage empty = w.edit->grab().toImage();
    QImage before = empty;
    for (const QString& step : {QStringLiteral("ㅎ"), QStringLiteral("하"), QStringLiteral("한")}) {
        SCOPED_TRACE(step.toStdString());
        Preedit(target, step);
        EXPECT_EQ(w.edit->text(), QString()) << "a composition is not yet text";
        const QImage drawn = w.edit->grab().toImage();
        EXPECT_NE(drawn, before) << "the composition is not drawn";
        before = drawn;
    }
    Commit(target, QStringLiteral("한"));
    Preedit(target, QStringLiteral("ㄱ"));
    Commit(target, QStringLiteral("글"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("한글"));
}
