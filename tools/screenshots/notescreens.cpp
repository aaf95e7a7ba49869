#include "notescreens.h"

#include "inkdata.h"
#include "inkmessages.h"
#include "widgets/note.h"
#include "windowmessage.h"

#include <QApplication>
#include <QInputMethodEvent>

#include <cmath>

namespace {

InkStroke stroke(COLORREF colour, quint32 width, std::initializer_list<QPointF> px)
{
    InkStroke s{colour, width, {}};
    for (const QPointF& p : px)
        s.points.emplace_back(qRound(p.x() * 100), qRound(p.y() * 100));
    return s;
}

// A page of handwriting: a circled time, an arrow to a typed line, a wavy underline and a tick.
InkNote sample()
{
    InkNote n;
    n.items.emplace_back(InkText{QPoint(1200, 1000), 1400, QString::fromUtf8("회의 메모")});
    n.items.emplace_back(InkText{QPoint(1200, 3400), 1300, QString::fromUtf8("오후 3시 강남역 2번 출구")});
    InkStroke ring{RGB(214, 30, 30), 180, {}};
    for (int i = 0; i <= 36; ++i) {
        const double a = i * M_PI / 18 - 0.4;
        ring.points.emplace_back(qRound((58 + 36 * std::cos(a)) * 100), qRound((40 + 11 * std::sin(a)) * 100));
    }
    n.items.emplace_back(std::move(ring));
    InkStroke wave{RGB(36, 96, 214), 150, {}};
    for (int x = 12; x <= 150; x += 3)
        wave.points.emplace_back(x * 100, qRound((60 + 2.2 * std::sin(x / 4.0)) * 100));
    n.items.emplace_back(std::move(wave));
    n.items.emplace_back(stroke(0, 200, {{22, 86}, {40, 100}, {62, 112}, {92, 120}, {120, 122}}));
    n.items.emplace_back(stroke(0, 200, {{110, 114}, {121, 122}, {110, 131}}));
    n.items.emplace_back(stroke(RGB(28, 150, 72), 250, {{196, 122}, {204, 132}, {224, 106}}));
    n.items.emplace_back(InkText{QPoint(12800, 12600), 1300, QString::fromUtf8("자료 준비")});
    return n;
}

} // namespace

void ZuShootNoteScreens(const QString& folder, const ZuScreenSaver& save)
{
    CNote page;
    page.resize(240, 220);
    page.show();
    page.OnInitDialog();
    page.OnSetActive();
    page.OnCommand(ID_LINES_RULED);
    if (QWidget* ink = page.GetInkWindow()) {
        const QByteArray bytes = ZuWriteInk(sample());
        ZuMessageEvent load(INKM_SETDATA, static_cast<WPARAM>(bytes.size()), reinterpret_cast<LPARAM>(bytes.constData()));
        QCoreApplication::sendEvent(ink, &load);
        // A tap under the last line, then "메모" typed: "메" committed, "ㅁ" → "모" composing.
        ink->activateWindow();
        ink->setFocus();
        const QPoint at(12, 160);
        QMouseEvent down(QEvent::MouseButtonPress, at, ink->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent up(QEvent::MouseButtonRelease, at, ink->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(ink, &down);
        QCoreApplication::sendEvent(ink, &up);
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("내일 다시 메"));
        QCoreApplication::sendEvent(ink, &commit);
        QInputMethodEvent composing(QString::fromUtf8("모"), {});
        QCoreApplication::sendEvent(ink, &composing);
    }
    QCoreApplication::processEvents();
    save(page, folder, QStringLiteral("note-page"), nullptr);
}
