// The two drawing helpers of textutil.h. They are kept apart from the text helpers because they
// need Qt Gui, which the command-line tool never loads (it is built from the rest alone).
#include "textutil.h"

#include <QColor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

CString GetEllipsisText(QPainter* painter, const wchar_t* text, QRect rect)
{
    const CString full(text);
    const int w = rect.width();
    if (w <= 0 || full.IsEmpty())
        return full;
    if (!painter && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return full;  // no font system to measure with
    const QFontMetrics metrics = painter ? painter->fontMetrics() : QFontMetrics(QGuiApplication::font());
    const QString q = full.toQString();
    if (metrics.horizontalAdvance(q) <= w)
        return full;
    const QString dots = QStringLiteral("...");
    qsizetype i = 0;
    while (i < q.size()) {
        if (metrics.horizontalAdvance(q.left(i) + dots) >= w)
            break;
        qsizetype next = i + 1;
        if (next < q.size() && q[next - 1].isHighSurrogate() && q[next].isLowSurrogate())
            ++next;  // never split a character
        if (metrics.horizontalAdvance(q.left(next) + dots) > w)
            break;
        i = next;
    }
    return CString::fromQString(q.left(i) + dots);
}

void DrawGradientFill(QPainter* painter, const QRect* rect, COLORREF start, COLORREF end, int steps)
{
    if (!painter || !rect)
        return;
    const int width = rect->width();
    if (width <= 0 || rect->height() <= 0)
        return;
    const int n = std::max(1, std::min(steps, width));
    const int strip = width / n;
    // 8.8 fixed point per channel.
    int r = GetRValue(start) << 8, g = GetGValue(start) << 8, b = GetBValue(start) << 8;
    const int dr = ((GetRValue(end) - GetRValue(start)) * 256) / n;
    const int dg = ((GetGValue(end) - GetGValue(start)) * 256) / n;
    const int db = ((GetBValue(end) - GetBValue(start)) * 256) / n;
    for (int i = 0; i < n; ++i) {
        const int x0 = rect->left() + i * strip;
        const int x1 = (i == n - 1) ? rect->left() + width : x0 + strip;  // exclusive
        painter->fillRect(QRect(x0, rect->top(), x1 - x0, rect->height()), QColor(r >> 8, g >> 8, b >> 8));
        r += dr;
        g += dg;
        b += db;
    }
}
