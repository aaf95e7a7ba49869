// cecommandbarexp.h - the frame's bottom bar: a tool bar with menu buttons on its own background
// colour, laid along the bottom edge of its parent.
//
// Create puts the bar at the bottom of the parent, as wide as the parent and 26 pixels high, and
// keeps it there when the parent is resized. Its buttons are those of CEToolBar: command buttons
// send their id to the parent, menu buttons show their popup and send the chosen id.
#pragma once

#include "cetoolbar.h"

class CCeCommandBarExp : public CEToolBar {
    Q_OBJECT
public:
    explicit CCeCommandBarExp(QWidget* parent = nullptr, UINT id = 0);

    // Makes the bar a child of the parent along its bottom edge; FALSE without a parent.
    BOOL Create(QWidget* parent, UINT id = 0);
    // The same; the style is the handheld's and changes nothing here.
    BOOL CreateEx(QWidget* parent, DWORD style = 0, UINT id = 0);

    // The height of the bar along the bottom of the frame.
    static constexpr int kHeight = 26;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
};
