// holdrecognizer.h - tells a tap from a press-and-hold of the stylus.
//
// A view feeds it its presses, moves and releases. A press that stays within kSlop pixels of where
// it went down for kHoldMs is a hold; a right-button press is a hold at once. A hold emits held()
// with the press point (once per press), and the release that ends it is no click. A release
// without a hold, still within kSlop of the press, is a click; a press that slid farther is neither.
#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPoint>

class CZuHoldRecognizer : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 500;
    static constexpr int kSlop = 5;

    explicit CZuHoldRecognizer(QObject* parent = nullptr);

    // Starts a press; a right-button press is held at once.
    void Press(QPoint pos, Qt::MouseButton button);
    // A move of the pressed stylus; sliding beyond kSlop gives up the hold and the click.
    void Move(QPoint pos);
    // Ends the press: true when it was a click (neither held nor slid off).
    bool Release(QPoint pos);
    // Forgets the press without a click or a hold.
    void Cancel();

    bool IsPressed() const { return m_pressed; }
    // Whether the current (or last) press became a hold.
    bool Held() const { return m_held; }

signals:
    void held(QPoint pos);

protected:
    void timerEvent(QTimerEvent* e) override;

private:
    bool Near(QPoint pos) const;
    void Hold();

    QBasicTimer m_timer;
    QPoint m_origin;
    bool m_pressed = false;
    bool m_held = false;
    bool m_slid = false;
};
