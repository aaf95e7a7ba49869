// bmpbutton.h - a button drawn from one bitmap per state.
//
// Up, down (shown while the pen is pressed on the button and inside it: the button tracks the
// pen, so sliding off shows it up again and a release outside is no click), focus and disabled
// bitmaps; a missing one falls back to the up bitmap. A click reaches the parent as WM_COMMAND
// (id, BN_CLICKED) (controlnotify.h).
#pragma once

#include "wintypes.h"
#include "zumodule.h"

#include <QAbstractButton>
#include <QPixmap>

class CBmpButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBmpButton(QWidget* parent = nullptr, UINT id = 0);

    // The module's bitmaps (ZuLoadBitmap); 0 for a state without its own. FALSE when the up
    // bitmap is missing. The button takes the up bitmap's size.
    BOOL LoadButtonBitmaps(UINT upId, UINT downId, UINT focusId, UINT disabledId, ZuModule module);
    BOOL LoadButtonBitmaps(const QPixmap& up, const QPixmap& down = QPixmap(), const QPixmap& focus = QPixmap(),
                           const QPixmap& disabled = QPixmap());
    // Lets go of a press in progress and shows the up state.
    void ResetButton();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_up, m_down, m_focus, m_disabled;
};
