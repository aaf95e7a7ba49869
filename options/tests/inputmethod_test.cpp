// Korean through the input method in every text field of the controls and the options: the
// composition ("ㅎ", "하", "한") is drawn in the field without becoming its text, and the committed
// syllable arrives as text, delivered the way the platform's input context delivers it (to the
// focus object, after asking it whether it takes input-method events at all).
#include "optiontestenv.h"
#include "widgets/checkpassworddlg.h"
#include "widgets/zucombobox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QTest>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace {

// A field under test: the window that holds it, the widget that gets the focus, its text.
struct Field {
    std::unique_ptr<QWidget> window;
    QWidget* focus = nullptr;
    std::function<QString()> text;
};

Field EditableCombo()
{
    Field f;
    auto window = std::make_unique<QWidget>();
    auto* combo = new CZUComboBox(window.get());
    combo->setEditable(true);
    combo->addItems({QStringLiteral("회의"), QStringLiteral("점심")});
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    combo->setGeometry(10, 10, 200, 22);
    window->resize(240, 60);
    f.focus = combo;
    f.text = [combo] { return combo->currentText(); };
    f.window = std::move(window);
    return f;
}

Field PasswordEdit()
{
    Field f;
    auto dlg = std::make_unique<CCheckPasswordDlg>();
    auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("1014"));
    f.focus = edit;
    f.text = [edit] { return edit ? edit->text() : QString(); };
    f.window = std::move(dlg);
    return f;
}

QVariant Query(QObject* target, Qt::InputMethodQuery query)
{
    QInputMethodQueryEvent event(query);
    QApplication::sendEvent(target, &event);
    return event.value(query);
}

// What an input context sends for a composition: the preedit text, underlined, the cursor after it.
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

TEST(InputMethod, HangulIsComposedAndCommittedInEveryTextField)
{
    OptionTestEnv env;
    const struct {
        const char* what;
        Field (*make)();
        bool hidden;
    } fields[] = {
        {"editable combo box", EditableCombo, false},
        {"password edit 1014", PasswordEdit, true},
    };
    for (const auto& c : fields) {
        SCOPED_TRACE(c.what);
        Field field = c.make();
        ASSERT_TRUE(field.focus);
        field.window->show();
        QApplication::setActiveWindow(field.window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(field.window.get()));
        field.focus->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return field.focus->hasFocus(); }));

        // What the input context asks before it sends anything.
        QObject* target = QGuiApplication::focusObject();
        ASSERT_TRUE(target);
        EXPECT_TRUE(Query(target, Qt::ImEnabled).toBool()) << "the input method is switched off";
        const QRect cursor = Query(target, Qt::ImCursorRectangle).toRect();
        EXPECT_FALSE(cursor.isEmpty()) << "the candidate window has no place to go";

        // A password field draws the composition as its mask, one mark for the one syllable;
        // any other field draws each step.
        const QImage empty = field.focus->grab().toImage();
        QImage first, before = empty;
        for (const QString& step : {QStringLiteral("ㅎ"), QStringLiteral("하"), QStringLiteral("한")}) {
            SCOPED_TRACE(step.toStdString());
            Preedit(target, step);
            EXPECT_EQ(field.text(), QString()) << "a composition is not yet text";
            const QImage drawn = field.focus->grab().toImage();
            EXPECT_NE(drawn, empty) << "the composition is not drawn";
            if (first.isNull())
                first = drawn;
            else if (c.hidden)
                EXPECT_EQ(drawn, first) << "the password's composition shows what is typed";
            else
                EXPECT_NE(drawn, before) << "the composition is not redrawn";
            before = drawn;
        }
        Commit(target, QStringLiteral("한"));
        EXPECT_EQ(field.text(), QStringLiteral("한"));
        EXPECT_NE(field.focus->grab().toImage(), empty) << "the committed text is not drawn";
        Preedit(target, QStringLiteral("ㄱ"));
        Commit(target, QStringLiteral("글"));
        EXPECT_EQ(field.text(), QStringLiteral("한글"));
    }
}

} // namespace
