// drawbitmaps - draws the calendar's and the password prompt's bitmaps as PNG files.
//
//   zu_drawbitmaps <source folder>     (or `cmake --build build --target bitmaps`)
//
// Every bitmap is drawn here as vector shapes (antialiased; Korean text in the suite's Korean
// font through ZuFont) twice: at its own size into `<id>.png` and again at twice that size into
// `<id>@2x.png`, for screens that scale the 240-pixel design up. The files go to
// calendar/images/ and options/images/ and are committed; the libraries compile them in
// (zu_add_bitmaps) and ZuLoadBitmap picks the one that fits the screen.
//
// A bitmap is drawn with a transparent colour (its mask colour: white for most, RGB(0,255,0) for
// the close box, RGB(62,115,221) for the month view's pieces). Shapes are first drawn on a
// transparent canvas; where nothing was drawn the file gets the mask colour, so the bar shows
// through exactly there. Everywhere else the shapes are laid over the colour the bitmap sits on
// (the command bar's blue, the content bar's grey, the prompt's background), so antialiased
// edges blend into the bar and leave no pale fringe; a drawn pixel that would come out in the
// mask colour itself is moved one step off it.
//
// Bitmaps (size of the whole file; images of a strip side by side):
//   calendar 129  24×8   three 8-px markers for the month cells: appointment, anniversary, task
//            131  16×16  the day popup's close box (mask RGB(0,255,0))
//            152  192×16 twelve 16-px images for the list rows: 0 appointment, 1 anniversary or
//                        a contact's day, 2 task, 3–5 empty, then 6 + p for a task of priority p
//                        (the list draws state image priority + 7 as image priority + 6;
//                        a task's priority is 3 - importance, an occurrence's one more):
//                        p 0 low ("↓"), p 1 normal ("–"), p 2 to 5 high ("!")
//            167  10×10  the month view's week marker (mask RGB(62,115,221))
//            174  58×19  the command bar's menu buttons "추가" and "도구", 29×19 each
//            175–181 21×20 view-type buttons day/week/month (the odd one of each pair current)
//            182/183 21×20 style button: graphic style / list style
//            186–193 16×16 content toggles, appointments, anniversaries, tasks, recurrence (odd = on)
//            194/195 16×15 navigation arrows, back and forward
//            200  225×16 the month view's weekday header, Sunday first (mask RGB(62,115,221)):
//                        one tile per column, under the cells drawn 3 px to its left every 32 px
//            210  238×15 the day view's header picture: "오전" over the left hour column,
//                        "오후" over the right one. It is the inside of the bordered picture at
//                        the full 240-px width of the day view (the 17-px high slot of the layout
//                        without all-day entries, less its border); drawn opaque.
//            218/219 16×16 the contacts button, normal / pressed
//   options  140/141 69×21 OK ("확인"), normal / pressed
//            142/143 69×21 cancel ("취소"), normal / pressed
//            144  196×92 the password prompt's background (the dialog's size); opaque
//            132, 134, 137 the options dialog's bar buttons and tab icons (see their block below)
//   complib  the property sheets' bar buttons and tab icons, the view board's icons and buttons
//            (see their blocks below)
#include "widgets/zufont.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The colours the bitmaps sit on.
const QColor kCommandBar(120, 161, 245);
const QColor kContentBar(218, 218, 218);
const QColor kWindow(255, 255, 255);
const QColor kMonthView(62, 115, 221);
const QColor kWhiteMask(255, 255, 255);
const QColor kGreenMask(0, 255, 0);

// The suite's inks.
const QColor kNavy(22, 42, 110);
const QColor kPaper(250, 251, 255);
const QColor kGold(255, 206, 84);
const QColor kAppointment(36, 96, 214);
const QColor kAnniversary(222, 52, 92);
const QColor kTask(28, 150, 72);
const QColor kRecurrence(148, 72, 196);
const QColor kOffInk(112, 112, 118);

// Where a piece of the prompt sits on its background (the dialog's layout).
constexpr int kPromptWidth = 196;
constexpr int kPromptHeight = 92;
const QPoint kOkAt(22, 56);
const QPoint kCancelAt(kPromptWidth - 22 - 69, 56);

using Draw = std::function<void(QPainter&)>;
// Paints what lies under the bitmap, in the bitmap's logical coordinates.
using Backdrop = std::function<void(QPainter&, QSize)>;

struct Bitmap {
    const char* folder;
    int id;
    QSize size;
    bool masked;  // false: drawn opaque, every pixel counts
    QColor mask;
    Backdrop backdrop;
    Draw draw;
};

Backdrop plain(QColor c)
{
    return [c](QPainter& p, QSize s) { p.fillRect(QRect(QPoint(0, 0), s), c); };
}

QFont font(int px, bool bold = true) { return ZuFont(L"Tahoma", px, bold ? FW_BOLD : FW_NORMAL); }

void text(QPainter& p, const QRectF& r, const QString& s, QColor ink, int px, bool bold = true)
{
    p.setFont(font(px, bold));
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, s);
}

QPen pen(QColor c, qreal w) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// --- glyphs, drawn in a 16 × 16 box at (x, y) unless told ---

void clock(QPainter& p, QPointF c, qreal r, QColor ring, QColor face, QColor hands)
{
    p.setPen(pen(ring, r / 4));
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    p.setPen(pen(hands, r / 4.5));
    p.drawLine(c, c + QPointF(0, -r * 0.62));
    p.drawLine(c, c + QPointF(r * 0.5, r * 0.1));
}

QPainterPath heart(QRectF r)
{
    const qreal w = r.width(), h = r.height();
    QPainterPath path;
    path.moveTo(r.left() + w / 2, r.top() + h * 0.98);
    path.cubicTo(r.left() - w * 0.05, r.top() + h * 0.55, r.left() + w * 0.05, r.top() - h * 0.05,
                 r.left() + w / 2, r.top() + h * 0.25);
    path.cubicTo(r.right() - w * 0.05, r.top() - h * 0.05, r.right() + w * 0.05, r.top() + h * 0.55,
                 r.left() + w / 2, r.top() + h * 0.98);
    return path;
}

void check(QPainter& p, QRectF r, QColor ink, qreal width)
{
    p.setPen(pen(ink, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(r.left(), r.top() + r.height() * 0.55);
    path.lineTo(r.left() + r.width() * 0.38, r.bottom());
    path.lineTo(r.right(), r.top());
    p.drawPath(path);
}

// Two arrows chasing each other round a circle.
// The kinds' glyphs side by side from x 0, 16 px each: appointment, anniversary (or a contact's
// day), task.
void kindGlyphs(QPainter& p)
{
    clock(p, QPointF(8, 8), 6.2, kAppointment, QColor(232, 240, 255), kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(kAnniversary);
    p.drawPath(heart(QRectF(17.5, 2, 13, 12.5)));
    p.setPen(pen(kTask, 1.2));
    p.setBrush(QColor(230, 247, 235));
    p.drawRoundedRect(QRectF(34.5, 2.5, 11, 11), 2, 2);
    check(p, QRectF(36.5, 5, 8, 6.5), kTask, 2);
}

// A labelled button on the command bar's blue filling `size`; pressed it is dark with gold text.
void barTextButton(QPainter& p, QSizeF size, const QString& label, bool pressed)
{
    p.setPen(pen(kPaper, 1));
    p.setBrush(pressed ? kNavy : QColor(86, 128, 226));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    text(p, QRectF(QPointF(0, 0), size), label, pressed ? kGold : kPaper, 11);
}

void recurrence(QPainter& p, QPointF c, qreal r, QColor ink, qreal width)
{
    p.setPen(pen(ink, width));
    p.setBrush(Qt::NoBrush);
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.drawArc(box, 20 * 16, 140 * 16);
    p.drawArc(box, 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto head = [&](qreal angleDeg, int dir) {
        const qreal a = angleDeg * M_PI / 180;
        const QPointF at(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
        // the tangent of the arc's run (counter-clockwise), then turned for the direction
        const QPointF t(-std::sin(a) * dir, -std::cos(a) * dir);
        const QPointF n(std::cos(a), -std::sin(a));
        const qreal s = width * 1.6;
        QPolygonF tri{at + t * s, at + n * s * 0.9, at - n * s * 0.9};
        p.drawPolygon(tri);
    };
    head(20, 1);
    head(200, 1);
}

// A calendar page for the view-type and style buttons (21 × 20): a band at the top, a body.
void page(QPainter& p, bool current)
{
    const QRectF r(2.5, 1.5, 16, 17);
    p.setPen(pen(kNavy, 1));
    p.setBrush(current ? kNavy : kPaper);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(current ? kGold : kNavy);
    p.drawRoundedRect(QRectF(2.5, 1.5, 16, 3.5), 2, 2);
    p.drawRect(QRectF(2.5, 3.5, 16, 1.5));
}

void viewButton(QPainter& p, const QString& letter, bool current)
{
    page(p, current);
    text(p, QRectF(2.5, 5, 16, 13.5), letter, current ? kGold : kNavy, 12);
}

void styleGraphic(QPainter& p)
{
    page(p, false);
    p.setPen(pen(kNavy, 0.8));
    for (int i = 1; i < 3; ++i) {
        p.drawLine(QPointF(2.5 + 16.0 * i / 3, 6), QPointF(2.5 + 16.0 * i / 3, 18.5));
        p.drawLine(QPointF(2.5, 6 + 12.5 * i / 3), QPointF(18.5, 6 + 12.5 * i / 3));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kAnniversary);
    p.drawRect(QRectF(2.5 + 16.0 / 3 + 0.6, 6 + 12.5 / 3 + 0.6, 16.0 / 3 - 1.2, 12.5 / 3 - 1.2));
}

void styleList(QPainter& p)
{
    page(p, false);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 8.5 + i * 3.6;
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? kAnniversary : kAppointment);
        p.drawEllipse(QPointF(6, y), 1.3, 1.3);
        p.setPen(pen(kNavy, 1.1));
        p.drawLine(QPointF(9, y), QPointF(16, y));
    }
}

// A content toggle (16 × 16): off, a grey outline and glyph; on, a tile in the kind's colour.
void toggle(QPainter& p, bool on, QColor colour, const std::function<void(QPainter&, QColor)>& glyph)
{
    const QRectF tile(0.5, 0.5, 15, 15);
    if (on) {
        p.setPen(pen(colour.darker(140), 1));
        p.setBrush(colour);
        p.drawRoundedRect(tile, 3, 3);
        glyph(p, kPaper);
    } else {
        p.setPen(pen(QColor(150, 150, 156), 1));
        p.setBrush(QColor(236, 236, 238));
        p.drawRoundedRect(tile, 3, 3);
        glyph(p, kOffInk);
    }
}

void arrow(QPainter& p, bool forward)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAppointment);
    p.drawEllipse(QRectF(1, 0.5, 14, 14));
    p.setPen(pen(kPaper, 2));
    p.setBrush(Qt::NoBrush);
    const qreal d = forward ? 1 : -1;
    QPainterPath path;
    path.moveTo(8 - 1.8 * d, 3.9);
    path.lineTo(8 + 1.8 * d, 7.5);
    path.lineTo(8 - 1.8 * d, 11.1);
    p.drawPath(path);
}

void contacts(QPainter& p, bool pressed)
{
    const QColor card = pressed ? kNavy : kPaper;
    const QColor ink = pressed ? kGold : kNavy;
    p.setPen(pen(kNavy, 1));
    p.setBrush(card);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(8, 6), 2.4, 2.4);
    QPainterPath shoulders;
    shoulders.moveTo(3.6, 13.5);
    shoulders.cubicTo(3.6, 8.8, 12.4, 8.8, 12.4, 13.5);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
}

// The prompt's background and its buttons.
void promptBackground(QPainter& p, QSize s)
{
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(238, 243, 253));
    g.setColorAt(1, QColor(204, 219, 250));
    p.fillRect(QRect(QPoint(0, 0), s), g);
}

void drawPrompt(QPainter& p)
{
    promptBackground(p, QSize(kPromptWidth, kPromptHeight));
    p.setPen(pen(kCommandBar, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kPromptWidth - 1, kPromptHeight - 1));
    // A padlock left of the edit (20, 18, 156 × 22).
    p.setPen(pen(kNavy, 1.4));
    p.drawArc(QRectF(6.5, 21, 7, 9), 0, 180 * 16);
    p.drawLine(QPointF(6.5, 25.5), QPointF(6.5, 27));
    p.drawLine(QPointF(13.5, 25.5), QPointF(13.5, 27));
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(4.5, 27, 11, 9), 1.5, 1.5);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(10, 30.8), 1.3, 1.3);
    p.drawRect(QRectF(9.5, 31, 1, 3));
    // A line between the entry and the buttons.
    p.setPen(pen(QColor(170, 190, 235), 1));
    p.drawLine(QPointF(12, 47.5), QPointF(kPromptWidth - 12, 47.5));
}

Backdrop promptAt(QPoint at)
{
    return [at](QPainter& p, QSize s) {
        p.save();
        p.setClipRect(QRect(QPoint(0, 0), s));
        p.translate(-at);
        drawPrompt(p);
        p.restore();
    };
}

void promptButton(QPainter& p, const QString& label, bool pressed)
{
    const QRectF r(0.5, 0.5, 68, 20);
    QLinearGradient g(0, 0, 0, 21);
    if (pressed) {
        g.setColorAt(0, QColor(52, 86, 180));
        g.setColorAt(1, QColor(96, 136, 232));
    } else {
        g.setColorAt(0, QColor(150, 184, 250));
        g.setColorAt(1, QColor(88, 128, 228));
    }
    p.setPen(pen(QColor(34, 62, 150), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    if (!pressed) {
        p.setPen(pen(QColor(255, 255, 255, 110), 1));
        p.drawLine(QPointF(5, 2), QPointF(64, 2));
    }
    const QRectF t = pressed ? r.translated(0.5, 1) : r;
    text(p, t, label, pressed ? kGold : kPaper, 12);
}

// The month view's weekday header: one tile per column, the columns 32 px wide from x −3.
void weekdayHeader(QPainter& p)
{
    static const char* const kDays[] = {"일", "월", "화", "수", "목", "금", "토"};
    for (int c = 0; c < 7; ++c) {
        const QRectF tile(32 * c - 2, 1, 30, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(c == 0 ? QColor(255, 236, 236) : c == 6 ? QColor(232, 238, 255) : QColor(240, 243, 250));
        p.drawRoundedRect(tile, 3, 3);
        const QColor ink = c == 0 ? QColor(220, 0, 0) : c == 6 ? QColor(0, 0, 230) : QColor(40, 40, 48);
        text(p, tile, QString::fromUtf8(kDays[c]), ink, 11);
    }
}

void dayHeader(QPainter& p)
{
    for (int half = 0; half < 2; ++half) {
        const QRectF r(half * 119, 0, 119, 15);
        QLinearGradient g(0, 0, 0, 15);
        g.setColorAt(0, QColor(240, 240, 242));
        g.setColorAt(1, QColor(206, 206, 210));
        p.fillRect(r, g);
        text(p, r, QString::fromUtf8(half == 0 ? "오전" : "오후"), kNavy, 11);
    }
    p.setPen(pen(QColor(150, 150, 156), 1));
    p.drawLine(QPointF(118.5, 1), QPointF(118.5, 14));
}

// --- the bitmaps ---

std::vector<Bitmap> bitmaps()
{
    std::vector<Bitmap> all;
    const auto add = [&](const char* folder, int id, QSize size, QColor mask, Backdrop backdrop, Draw draw) {
        all.push_back({folder, id, size, true, mask, std::move(backdrop), std::move(draw)});
    };
    const char* cal = "calendar";

    // 129: markers of 8 × 8 in the month cells (window-coloured days mostly).
    add(cal, 129, {24, 8}, kWhiteMask, plain(kWindow), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAppointment);
        p.drawEllipse(QRectF(0.5, 0.5, 7, 7));
        p.setBrush(kAnniversary);
        p.drawPath(heart(QRectF(8.5, 0.8, 7, 6.6)));
        p.setBrush(kTask);
        p.drawRoundedRect(QRectF(16.5, 0.5, 7, 7), 1.5, 1.5);
        check(p, QRectF(18, 2.5, 4, 3.5), kPaper, 1.3);
    });

    // 131: the close box on the popup's caption.
    add(cal, 131, {16, 16}, kGreenMask, plain(QColor(170, 190, 230)), [](QPainter& p) {
        p.setPen(pen(QColor(110, 40, 40), 1));
        p.setBrush(QColor(226, 72, 64));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        p.setPen(pen(kPaper, 2));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
    });

    // 152: the list's 16-px images.
    add(cal, 152, {192, 16}, kWhiteMask, plain(kWindow), [](QPainter& p) {
        kindGlyphs(p);
        // 3 to 5 stay empty. Priorities p at 6 + p.
        for (int pr = 0; pr < 6; ++pr) {
            const qreal x = 16 * (6 + pr);
            if (pr >= 2) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(214, 30, 30));
                p.drawRoundedRect(QRectF(x + 6.5, 1.5, 3, 9), 1.5, 1.5);
                p.drawEllipse(QPointF(x + 8, 13), 1.6, 1.6);
            } else if (pr == 1) {
                p.setPen(pen(QColor(128, 128, 136), 2));
                p.drawLine(QPointF(x + 4.5, 8), QPointF(x + 11.5, 8));
            } else {
                p.setPen(pen(kAppointment, 2));
                p.drawLine(QPointF(x + 8, 2.5), QPointF(x + 8, 12.5));
                p.drawLine(QPointF(x + 4.5, 9), QPointF(x + 8, 12.5));
                p.drawLine(QPointF(x + 11.5, 9), QPointF(x + 8, 12.5));
            }
        }
    });

    // 167: the week marker in the month view's left margin.
    add(cal, 167, {10, 10}, kMonthView, plain(kMonthView), [](QPainter& p) {
        p.setPen(pen(QColor(255, 255, 255), 1));
        p.setBrush(kGold);
        p.drawPolygon(QPolygonF{QPointF(2, 1.5), QPointF(8.5, 5), QPointF(2, 8.5)});
    });

    // 174: the menu buttons' images, 29 × 19 each.
    add(cal, 174, {58, 19}, kWhiteMask, plain(kCommandBar), [](QPainter& p) {
        text(p, QRectF(0, 0, 29, 19), QString::fromUtf8("추가"), kNavy, 12);
        text(p, QRectF(29, 0, 29, 19), QString::fromUtf8("도구"), kNavy, 12);
    });

    // 175 to 181: day, week, month; the second of each pair is the current type.
    const std::pair<int, const char*> types[] = {{175, "일"}, {178, "주"}, {180, "월"}};
    for (const auto& [id, letter] : types)
        for (const bool current : {false, true}) {
            const QString l = QString::fromUtf8(letter);
            add(cal, id + (current ? 1 : 0), {21, 20}, kWhiteMask, plain(kCommandBar),
                [l, current](QPainter& p) { viewButton(p, l, current); });
        }
    add(cal, 182, {21, 20}, kWhiteMask, plain(kCommandBar), styleGraphic);
    add(cal, 183, {21, 20}, kWhiteMask, plain(kCommandBar), styleList);

    // 186 to 193: the content toggles.
    using Glyph = std::function<void(QPainter&, QColor)>;
    const std::pair<QColor, Glyph> kinds[] = {
        {kAppointment, [](QPainter& p, QColor ink) { clock(p, QPointF(8, 8), 4.8, ink, Qt::transparent, ink); }},
        {kAnniversary, [](QPainter& p, QColor ink) {
             p.setPen(Qt::NoPen);
             p.setBrush(ink);
             p.drawPath(heart(QRectF(3, 3.5, 10, 9.5)));
         }},
        {kTask, [](QPainter& p, QColor ink) { check(p, QRectF(3.8, 4.5, 8.4, 7), ink, 2); }},
        {kRecurrence, [](QPainter& p, QColor ink) { recurrence(p, QPointF(8, 8), 4.6, ink, 1.6); }},
    };
    for (int k = 0; k < 4; ++k)
        for (const bool on : {false, true}) {
            const auto& [colour, glyph] = kinds[k];
            add(cal, 186 + 2 * k + (on ? 1 : 0), {16, 16}, kWhiteMask, plain(kContentBar),
                [on, colour, glyph](QPainter& p) { toggle(p, on, colour, glyph); });
        }

    // 194, 195: the navigation bar's arrows (on the window colour).
    add(cal, 194, {16, 15}, kWhiteMask, plain(kWindow), [](QPainter& p) { arrow(p, false); });
    add(cal, 195, {16, 15}, kWhiteMask, plain(kWindow), [](QPainter& p) { arrow(p, true); });

    add(cal, 200, {225, 16}, kMonthView, plain(kMonthView), weekdayHeader);
    all.push_back({cal, 210, {238, 15}, false, QColor(), plain(kContentBar), dayHeader});

    add(cal, 218, {16, 16}, kWhiteMask, plain(kCommandBar), [](QPainter& p) { contacts(p, false); });
    add(cal, 219, {16, 16}, kWhiteMask, plain(kCommandBar), [](QPainter& p) { contacts(p, true); });

    // The password prompt.
    const char* opt = "options";
    const std::pair<int, const char*> buttons[] = {{140, "확인"}, {142, "취소"}};
    for (const auto& [id, label] : buttons)
        for (const bool pressed : {false, true}) {
            const QString l = QString::fromUtf8(label);
            add(opt, id + (pressed ? 1 : 0), {69, 21}, kWhiteMask, promptAt(id == 140 ? kOkAt : kCancelAt),
                [l, pressed](QPainter& p) { promptButton(p, l, pressed); });
        }
    all.push_back({opt, 144, {kPromptWidth, kPromptHeight}, false, QColor(), plain(kWindow), drawPrompt});
    // ---- the recurrence wizard ----
    // complib 178–186 53×19, the wizard's buttons on the window colour: 178 back dimmed, 180/179
    // back, 182/181 cancel, 184/183 next, 186/185 finish (the lower id of a pair is pressed).
    {
        const char* lib = "complib";
        // arrow: -1 a triangle pointing back before the label, 1 one pointing on after it.
        const auto wizardButton = [](QPainter& p, const QString& label, int arrow, bool pressed, bool dimmed) {
            const QRectF r(0.5, 0.5, 52, 18);
            QLinearGradient g(0, 0, 0, 19);
            if (dimmed) {
                g.setColorAt(0, QColor(236, 236, 238));
                g.setColorAt(1, QColor(208, 208, 212));
            } else if (pressed) {
                g.setColorAt(0, QColor(52, 86, 180));
                g.setColorAt(1, QColor(96, 136, 232));
            } else {
                g.setColorAt(0, QColor(150, 184, 250));
                g.setColorAt(1, QColor(88, 128, 228));
            }
            p.setPen(pen(dimmed ? QColor(168, 168, 174) : QColor(34, 62, 150), 1));
            p.setBrush(g);
            p.drawRoundedRect(r, 4, 4);
            const QColor ink = dimmed ? QColor(150, 150, 156) : pressed ? kGold : kPaper;
            const qreal dy = pressed ? 1 : 0;
            QRectF t = r.translated(pressed ? 0.5 : 0, dy);
            if (arrow != 0) {
                const qreal x = arrow < 0 ? 8 : 45;
                const qreal d = arrow < 0 ? -3 : 3;
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawPolygon(QPolygonF{QPointF(x + d, 9.5 + dy), QPointF(x - d, 5.5 + dy), QPointF(x - d, 13.5 + dy)});
                t = arrow < 0 ? t.adjusted(8, 0, 0, 0) : t.adjusted(0, 0, -8, 0);
            }
            text(p, t, label, ink, 11);
        };
        struct Face {
            int id;
            const char* label;
            int arrow;
            bool pressed;
            bool dimmed;
        };
        const Face faces[] = {
            {178, "뒤로", -1, false, true}, {179, "뒤로", -1, true, false}, {180, "뒤로", -1, false, false},
            {181, "취소", 0, true, false},  {182, "취소", 0, false, false},  {183, "앞으로", 1, true, false},
            {184, "앞으로", 1, false, false}, {185, "완료", 0, true, false},  {186, "완료", 0, false, false},
        };
        for (const Face& f : faces) {
            const QString l = QString::fromUtf8(f.label);
            add(lib, f.id, {53, 19}, kWhiteMask, plain(kWindow),
                [=](QPainter& p) { wizardButton(p, l, f.arrow, f.pressed, f.dimmed); });
        }
    }
    // ---- end of the recurrence wizard ----

    // ---- the category editor ----
    // complib 157/158/159 41x19 "추가" (Add): normal, pressed, disabled; 161/162/163 41x19 "삭제"
    // (Delete): normal, pressed, disabled. They sit on the page's window colour beside the edit.
    {
        enum class Look { Normal, Pressed, Disabled };
        const auto editorButton = [](QPainter& p, const QString& label, QColor colour, Look look) {
            const QRectF r(0.5, 0.5, 40, 18);
            QLinearGradient g(0, 0, 0, 19);
            QColor ink = kPaper;
            if (look == Look::Disabled) {
                g.setColorAt(0, QColor(238, 238, 240));
                g.setColorAt(1, QColor(214, 214, 218));
                p.setPen(pen(QColor(168, 168, 174), 1));
                ink = QColor(150, 150, 156);
            } else if (look == Look::Pressed) {
                g.setColorAt(0, colour.darker(150));
                g.setColorAt(1, colour.darker(115));
                p.setPen(pen(colour.darker(190), 1));
                ink = kGold;
            } else {
                g.setColorAt(0, colour.lighter(135));
                g.setColorAt(1, colour);
                p.setPen(pen(colour.darker(160), 1));
            }
            p.setBrush(g);
            p.drawRoundedRect(r, 4, 4);
            text(p, look == Look::Pressed ? r.translated(0.5, 1) : r, label, ink, 12);
        };
        const char* comp = "complib";
        const struct {
            int normal;
            const char* label;
            QColor colour;
        } buttons[] = {{157, "추가", kAppointment}, {161, "삭제", kAnniversary}};
        for (const auto& b : buttons) {
            const QString l = QString::fromUtf8(b.label);
            const QColor c = b.colour;
            for (const Look look : {Look::Normal, Look::Pressed, Look::Disabled})
                add(comp, b.normal + static_cast<int>(look), {41, 19}, kWhiteMask, plain(kWindow),
                    [editorButton, l, c, look](QPainter& p) { editorButton(p, l, c, look); });
        }
    }
    // ---- the property sheets ----
    // complib 149/171 32×18 the sheets' OK ("확인", the menu select sheet's and the event sheet's),
    // 156 32×18 cancel ("취소"), 142 32×18 the note page's tool bar button (a 16-px glyph in the
    // middle: the bar's images are all 32×18), on the command bar's blue; the tab icons, 16 px each
    // on the tabs' RGB(200,235,235): 139 (2) category list and category editor; 140 (5)
    // appointment summary, note, attendees, list, editor; 138 (4) task summary, note, list,
    // editor; 188 (6) the contact's three pages, note, list, editor.
    {
        const char* lib = "complib";
        const QColor tabs(200, 235, 235);
        const auto barLabel = [](QPainter& p, const QString& label) {
            p.setPen(pen(kPaper, 1));
            p.setBrush(QColor(86, 128, 226));
            p.drawRoundedRect(QRectF(0.5, 0.5, 31, 17), 3, 3);
            text(p, QRectF(0, 0, 32, 18), label, kPaper, 11);
        };
        add(lib, 149, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { barLabel(p, QString::fromUtf8("확인")); });
        add(lib, 171, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { barLabel(p, QString::fromUtf8("확인")); });
        add(lib, 156, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { barLabel(p, QString::fromUtf8("취소")); });
        add(lib, 142, {32, 18}, kWhiteMask, plain(kCommandBar), [](QPainter& p) {
            p.translate(8, 1);  // a 16-px glyph in the middle of a button as wide as OK and cancel
            p.setPen(pen(kPaper, 1));
            p.setBrush(QColor(86, 128, 226));
            p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(kPaper);
            for (int i = 0; i < 4; ++i)
                p.drawRect(QRectF(3.5 + i * 2.6, 5.5, 1.6, 1.6));
            p.drawRect(QRectF(4.5, 9, 7, 1.6));
        });
        // The 16-px tab glyphs, drawn at x.
        const auto list = [](QPainter& p, qreal x) {  // a checked list: the category list
            p.setPen(pen(kNavy, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(x + 1.5, 1.5, 13, 13));
            for (int i = 0; i < 3; ++i) {
                p.setPen(pen(kNavy, 1));
                p.setBrush(i == 1 ? kPaper : QColor(kAppointment));
                p.drawRect(QRectF(x + 3.5, 3.5 + i * 3.7, 2.5, 2.5));
                p.drawLine(QPointF(x + 7.5, 4.7 + i * 3.7), QPointF(x + 12.5, 4.7 + i * 3.7));
            }
        };
        const auto editor = [](QPainter& p, qreal x) {  // plus and minus: the category editor
            p.setPen(Qt::NoPen);
            p.setBrush(kTask);
            p.drawEllipse(QRectF(x + 0.5, 0.5, 9, 9));
            p.setBrush(kAnniversary);
            p.drawEllipse(QRectF(x + 6.5, 6.5, 9, 9));
            p.setPen(pen(kPaper, 1.6));
            p.drawLine(QPointF(x + 2.5, 5), QPointF(x + 7.5, 5));
            p.drawLine(QPointF(x + 5, 2.5), QPointF(x + 5, 7.5));
            p.drawLine(QPointF(x + 8.5, 11), QPointF(x + 13.5, 11));
        };
        const auto note = [](QPainter& p, qreal x) {  // a sheet with a pen line
            p.setPen(pen(kOffInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(x + 2.5, 1.5, 10, 13));
            p.setPen(pen(kAppointment, 1.3));
            QPainterPath squiggle;
            squiggle.moveTo(x + 4, 10);
            squiggle.cubicTo(x + 6, 5, x + 8, 13, x + 11, 6);
            p.drawPath(squiggle);
            p.setPen(pen(kGold, 2));
            p.drawLine(QPointF(x + 11, 12), QPointF(x + 14.5, 8.5));
        };
        const auto person = [](QPainter& p, qreal x, qreal dx, QColor c) {
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawEllipse(QRectF(x + dx + 2.5, 2, 5, 5));
            p.drawRoundedRect(QRectF(x + dx + 0.5, 8, 9, 7), 3, 3);
        };
        const auto attendees = [=](QPainter& p, qreal x) {
            person(p, x, 5.5, kTask);
            person(p, x, 0, kAppointment);
        };
        const auto summaryAppointment = [](QPainter& p, qreal x) {
            clock(p, QPointF(x + 8, 8), 6.2, kAppointment, QColor(232, 240, 255), kNavy);
        };
        const auto summaryTask = [](QPainter& p, qreal x) {
            p.setPen(pen(kTask, 1.2));
            p.setBrush(QColor(230, 247, 235));
            p.drawRoundedRect(QRectF(x + 2.5, 2.5, 11, 11), 2, 2);
            check(p, QRectF(x + 4.5, 5, 8, 6.5), kTask, 2);
        };
        const auto card = [=](QPainter& p, qreal x) {
            p.setPen(pen(kNavy, 1));
            p.setBrush(kPaper);
            p.drawRoundedRect(QRectF(x + 0.5, 2.5, 15, 11), 1.5, 1.5);
            person(p, x + 1.5, 0, kAppointment);
        };
        const auto phone = [](QPainter& p, qreal x) {
            p.setPen(pen(kNavy, 1));
            p.setBrush(QColor(232, 240, 255));
            p.drawRoundedRect(QRectF(x + 4.5, 0.5, 7, 15), 1.5, 1.5);
            p.setBrush(kAppointment);
            p.drawRect(QRectF(x + 5.5, 2.5, 5, 6));
        };
        const auto photo = [](QPainter& p, qreal x) {
            p.setPen(pen(kNavy, 1));
            p.setBrush(QColor(255, 244, 214));
            p.drawRect(QRectF(x + 1.5, 2.5, 13, 11));
            p.setPen(Qt::NoPen);
            p.setBrush(kTask);
            p.drawPolygon(QPolygonF{QPointF(x + 2, 13), QPointF(x + 7, 7), QPointF(x + 11, 13)});
            p.setBrush(kGold);
            p.drawEllipse(QRectF(x + 9.5, 4.5, 3, 3));
        };
        using Glyph = std::function<void(QPainter&, qreal)>;
        const auto strip = [&](int id, std::vector<Glyph> glyphs) {
            const int n = static_cast<int>(glyphs.size());
            add(lib, id, {16 * n, 16}, kWhiteMask, plain(tabs), [glyphs](QPainter& p) {
                for (size_t i = 0; i < glyphs.size(); ++i)
                    glyphs[i](p, 16.0 * static_cast<qreal>(i));
            });
        };
        strip(139, {list, editor});
        strip(140, {summaryAppointment, note, attendees, list, editor});
        strip(138, {summaryTask, note, list, editor});
        strip(188, {card, phone, photo, note, list, editor});
    }

    // ---- the options dialog ----
    // options 134 32×18 the bar's save ("저장"), 132 32×18 its cancel ("취소"), on the command
    // bar's blue; 137 48×16 the tab icons on the tabs' RGB(200,235,235): a gear (general), a
    // calendar leaf (calendar), a card with a person (contacts).
    {
        const char* lib = "options";
        const QColor tabs(200, 235, 235);
        const auto barLabel = [](QPainter& p, const QString& label, QColor face) {
            p.setPen(pen(kPaper, 1));
            p.setBrush(face);
            p.drawRoundedRect(QRectF(0.5, 0.5, 31, 17), 3, 3);
            text(p, QRectF(0, 0, 32, 18), label, kPaper, 11);
        };
        add(lib, 134, {32, 18}, kWhiteMask, plain(kCommandBar),
            [=](QPainter& p) { barLabel(p, QString::fromUtf8("저장"), QColor(40, 132, 72)); });
        add(lib, 132, {32, 18}, kWhiteMask, plain(kCommandBar),
            [=](QPainter& p) { barLabel(p, QString::fromUtf8("취소"), QColor(86, 128, 226)); });
        add(lib, 137, {48, 16}, kWhiteMask, plain(tabs), [tabs](QPainter& p) {
            // A gear: eight teeth round a ring.
            p.setPen(Qt::NoPen);
            p.setBrush(kOffInk);
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(8, 8);
                p.rotate(45.0 * i);
                p.drawRect(QRectF(-1.3, -7, 2.6, 3.5));
                p.restore();
            }
            p.drawEllipse(QPointF(8, 8), 5, 5);
            p.setBrush(tabs);
            p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
            // A calendar leaf: a red top band, two rings and a grid of days.
            p.setPen(pen(kNavy, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(17.5, 2.5, 13, 12));
            p.setPen(Qt::NoPen);
            p.setBrush(kAnniversary);
            p.drawRect(QRectF(18, 3, 12, 3));
            p.setBrush(kNavy);
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 3; ++c)
                    p.drawRect(QRectF(19.5 + c * 3.5, 8 + r * 3, 2, 1.8));
            p.setPen(pen(kNavy, 1.2));
            p.drawLine(QPointF(21, 1), QPointF(21, 4));
            p.drawLine(QPointF(27, 1), QPointF(27, 4));
            // A card with a person.
            p.setPen(pen(kNavy, 1));
            p.setBrush(kPaper);
            p.drawRoundedRect(QRectF(32.5, 2.5, 15, 11), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(kAppointment);
            p.drawEllipse(QRectF(35, 4, 4.5, 4.5));
            p.drawRoundedRect(QRectF(34, 9, 6.5, 4), 2, 2);
            p.setBrush(kOffInk);
            p.drawRect(QRectF(41.5, 5.5, 4.5, 1.3));
            p.drawRect(QRectF(41.5, 8.5, 4.5, 1.3));
        });
    }
    // ---- end of the options dialog ----

    // ---- the note page ----
    // complib 160  80×16 the note bar's five 16-px images: voice bar, pen, pen mode (the pen's
    //              arrow), lines, zoom; 176 16×16 its edit menu (scissors). On the bar's grey.
    {
        const char* comp = "complib";
        const QColor noteBar(215, 215, 215);
        add(comp, 160, {80, 16}, kWhiteMask, plain(noteBar), [](QPainter& p) {
            // Voice: a microphone.
            p.setPen(pen(kNavy, 1.2));
            p.setBrush(QColor(232, 240, 255));
            p.drawRoundedRect(QRectF(5.5, 1.5, 5, 8), 2.5, 2.5);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3.5, 4.5, 9, 8), 180 * 16, 180 * 16);
            p.drawLine(QPointF(8, 12.5), QPointF(8, 14.5));
            p.drawLine(QPointF(5.5, 14.5), QPointF(10.5, 14.5));
            // Pen: a pencil drawn slanting down to the left.
            p.save();
            p.translate(24, 8);
            p.rotate(45);
            p.setPen(pen(kNavy, 1));
            p.setBrush(kGold);
            p.drawRect(QRectF(-2, -6.5, 4, 9));
            p.setBrush(QColor(240, 200, 160));
            p.drawPolygon(QPolygonF{QPointF(-2, 2.5), QPointF(2, 2.5), QPointF(0, 6.5)});
            p.restore();
            // Pen mode: the pointer's arrow.
            p.setPen(pen(kNavy, 1));
            p.setBrush(kPaper);
            p.drawPolygon(QPolygonF{QPointF(37, 2), QPointF(37, 13), QPointF(40, 10.5), QPointF(42.5, 14.5),
                                    QPointF(44, 13.5), QPointF(41.5, 9.5), QPointF(45, 9)});
            // Lines: a ruled sheet.
            p.setPen(pen(kOffInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(50.5, 2.5, 11, 11));
            p.setPen(pen(kAppointment, 1));
            for (const qreal y : {5.5, 8.0, 10.5})
                p.drawLine(QPointF(52.5, y), QPointF(59.5, y));
            // Zoom: a magnifying glass.
            p.setPen(pen(kNavy, 1.4));
            p.setBrush(QColor(232, 240, 255));
            p.drawEllipse(QPointF(70.5, 6.5), 4.2, 4.2);
            p.setPen(pen(kNavy, 2.2));
            p.drawLine(QPointF(73.6, 9.6), QPointF(77, 13));
        });
        add(comp, 176, {16, 16}, kWhiteMask, plain(noteBar), [](QPainter& p) {
            // Scissors: two blades crossing over two handles.
            p.setPen(pen(kNavy, 1.3));
            p.drawLine(QPointF(4, 2), QPointF(10.5, 10));
            p.drawLine(QPointF(12, 2), QPointF(5.5, 10));
            p.setBrush(QColor(232, 240, 255));
            p.setPen(pen(kAnniversary, 1.3));
            p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
            p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
        });
    }
    // ---- the contact card ----
    // contact/card 164/165 32×18 edit ("편집") pressed / normal, 166/167 delete ("삭제") pressed /
    //              normal, on the command bar's blue; 184/134 16×16 the header's note toggle,
    //              released / pressed, on the window's white.
    {
        const char* card = "contact/card";
        const auto cardButton = [](QPainter& p, const QString& label, bool pressed) {
            barTextButton(p, QSizeF(32, 18), label, pressed);
        };
        add(card, 164, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { cardButton(p, QString::fromUtf8("편집"), true); });
        add(card, 165, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { cardButton(p, QString::fromUtf8("편집"), false); });
        add(card, 166, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { cardButton(p, QString::fromUtf8("삭제"), true); });
        add(card, 167, {32, 18}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { cardButton(p, QString::fromUtf8("삭제"), false); });
        const auto noteToggle = [](QPainter& p, bool pressed) {
            p.setPen(pen(pressed ? kPaper : kNavy, 1));
            p.setBrush(pressed ? kNavy : QColor(232, 240, 255));
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
            // A page with a pen line across it.
            p.setPen(pen(pressed ? kGold : kAppointment, 1.3));
            p.drawLine(QPointF(4, 5), QPointF(12, 5));
            p.drawLine(QPointF(4, 8), QPointF(12, 8));
            QPainterPath squiggle(QPointF(4, 11.5));
            squiggle.cubicTo(QPointF(6, 9.5), QPointF(8, 13.5), QPointF(12, 11));
            p.setBrush(Qt::NoBrush);
            p.drawPath(squiggle);
        };
        add(card, 184, {16, 16}, kWhiteMask, plain(kWindow), [=](QPainter& p) { noteToggle(p, false); });
        add(card, 134, {16, 16}, kWhiteMask, plain(kWindow), [=](QPainter& p) { noteToggle(p, true); });
    }
    // ---- the view board ----
    // complib 152  48×16 the title's icons on the window's white: appointment, anniversary, task
    //              (the calendar list's first three glyphs); 164/165 29×19 edit ("편집") pressed /
    //              normal and 166/167 delete ("삭제") pressed / normal, on the command bar's blue;
    //              173/174 15×15 the note's expand button on white: 173 an arrow down (the note
    //              covers the rows, a tap gives them back), 174 an arrow up (the note below the
    //              rows, a tap lets it cover them).
    {
        const char* lib = "complib";
        add(lib, 152, {48, 16}, kWhiteMask, plain(kWindow), kindGlyphs);
        const auto boardButton = [](QPainter& p, const QString& label, bool pressed) {
            barTextButton(p, QSizeF(29, 19), label, pressed);
        };
        add(lib, 164, {29, 19}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { boardButton(p, QString::fromUtf8("편집"), true); });
        add(lib, 165, {29, 19}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { boardButton(p, QString::fromUtf8("편집"), false); });
        add(lib, 166, {29, 19}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { boardButton(p, QString::fromUtf8("삭제"), true); });
        add(lib, 167, {29, 19}, kWhiteMask, plain(kCommandBar), [=](QPainter& p) { boardButton(p, QString::fromUtf8("삭제"), false); });
        const auto arrow = [](QPainter& p, bool up) {
            p.setPen(pen(kNavy, 1));
            p.setBrush(QColor(232, 240, 255));
            p.drawRoundedRect(QRectF(0.5, 0.5, 14, 14), 2, 2);
            p.setPen(Qt::NoPen);
            p.setBrush(kAppointment);
            if (up)
                p.drawPolygon(QPolygonF{QPointF(3.5, 10), QPointF(11.5, 10), QPointF(7.5, 4.5)});
            else
                p.drawPolygon(QPolygonF{QPointF(3.5, 5), QPointF(11.5, 5), QPointF(7.5, 10.5)});
        };
        add(lib, 173, {15, 15}, kWhiteMask, plain(kWindow), [=](QPainter& p) { arrow(p, false); });
        add(lib, 174, {15, 15}, kWhiteMask, plain(kWindow), [=](QPainter& p) { arrow(p, true); });
    }
    return all;
}

// One step off the mask colour, for a drawn pixel that would be taken for it.
QRgb offMask(QRgb c)
{
    const int g = qGreen(c);
    return qRgb(qRed(c), g > 0 ? g - 1 : g + 1, qBlue(c));
}

QImage render(const Bitmap& b, int scale)
{
    const QSize px = b.size * scale;
    QImage shapes(px, QImage::Format_ARGB32_Premultiplied);
    shapes.fill(Qt::transparent);
    {
        QPainter p(&shapes);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        p.scale(scale, scale);
        b.draw(p);
    }
    QImage under(px, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&under);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        b.backdrop(p, b.size);
        p.setTransform(QTransform());
        p.drawImage(0, 0, shapes);
    }
    QImage out(px, QImage::Format_RGB888);
    const QRgb mask = b.mask.rgb() & 0xFFFFFFu;
    for (int y = 0; y < px.height(); ++y)
        for (int x = 0; x < px.width(); ++x) {
            const int alpha = qAlpha(shapes.pixel(x, y));
            QRgb c = under.pixel(x, y) & 0xFFFFFFu;
            if (b.masked) {
                // Nearly untouched pixels belong to the bar too: no faint halo where the bitmap
                // sits on another colour than the one it was blended with.
                if (alpha < 24)
                    c = mask;
                else if (c == mask)
                    c = offMask(c) & 0xFFFFFFu;
            }
            out.setPixel(x, y, c | 0xFF000000u);
        }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zu_drawbitmaps <source folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    for (const Bitmap& b : bitmaps()) {
        const QString folder = root.filePath(QString::fromLatin1(b.folder) + "/images");
        QDir().mkpath(folder);
        for (const int scale : {1, 2}) {
            const QString path = QStringLiteral("%1/%2%3.png").arg(folder).arg(b.id).arg(scale == 2 ? "@2x" : "");
            if (!render(b, scale).save(path, "PNG", 9)) {
                std::fprintf(stderr, "zu_drawbitmaps: cannot write %s\n", qPrintable(path));
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
