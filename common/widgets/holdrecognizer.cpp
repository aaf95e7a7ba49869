// holdrecognizer.cpp - a press that stays still for half a second, or a right-button press, is a hold.
#include "holdrecognizer.h"

#include <QTimerEvent>

CZuHoldRecognizer::CZuHoldRecognizer(QObject* parent) : QObject(parent) {}

void CZuHoldRecognizer::Press(QPoint pos, Qt::MouseButton button)
{
    m_origin = pos;
    m_pressed = true;
    m_held = false;
    m_slid = false;
    if (button == Qt::RightButton)
        Hold();
    else
        m_timer.start(kHoldMs, this);
}

void CZuHoldRecognizer::Move(QPoint pos)
{
    if (m_pressed && !m_held && !Near(pos)) {
        m_slid = true;
        m_timer.stop();
    }
}

bool CZuHoldRecognizer::Release(QPoint pos)
{
    if (!m_pressed)
        return false;
    Move(pos);
    m_timer.stop();
    m_pressed = false;
    return !m_held && !m_slid;
}

void CZuHoldRecognizer::Cancel()
{
    m_timer.stop();
    m_pressed = false;
    m_slid = true;
}

void CZuHoldRecognizer::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != m_timer.timerId())
        return QObject::timerEvent(e);
    m_timer.stop();
    if (m_pressed && !m_held && !m_slid)
        Hold();
}

bool CZuHoldRecognizer::Near(QPoint pos) const
{
    return (pos - m_origin).manhattanLength() <= kSlop;
}

void CZuHoldRecognizer::Hold()
{
    m_timer.stop();
    m_held = true;
    emit held(m_origin);
}
