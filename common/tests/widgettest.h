// widgettest.h - what the control tests share: a parent that records the commands its controls
// send and paints itself in one colour, and pixel helpers over grab().
#pragma once

#include "windowmessage.h"
#include "wintypes.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <vector>

struct Command {
    WORD id;
    WORD code;
    bool operator==(const Command&) const = default;
};

class CommandParent : public QWidget {
public:
    explicit CommandParent(QColor fill = Qt::white) : m_fill(fill) { resize(240, 80); }
    std::vector<Command> commands;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType()) {
            auto* m = static_cast<ZuMessageEvent*>(e);
            if (m->message() == WM_COMMAND) {
                commands.push_back({LOWORD(static_cast<DWORD>(m->wParam())), HIWORD(static_cast<DWORD>(m->wParam()))});
                m->setResult(0);
                return true;
            }
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_fill); }

private:
    QColor m_fill;
};

inline QColor rgb(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The widget's pixels in logical coordinates.
inline QImage Pixels(QWidget& w)
{
    QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (img.devicePixelRatio() != 1.0)
        img = img.scaled(w.size());
    return img;
}

inline bool HasColour(const QImage& img, QColor c, QRect within = QRect())
{
    const QRect r = within.isNull() ? img.rect() : within & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}
