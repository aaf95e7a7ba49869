// optionpage.h - what the three pages of the options dialog share (optionsheet.h).
//
// - The heading ("일반 옵션", "일정 옵션", "주소록 옵션"): bold (700) dark blue RGB(0,0,156), 8 px
//   from the left, centred in the band from y 0 to y 24, and a line across the page at y 24.
// - The tab caption ("일반", "일정", "주소록") stands on the page's tab only while the page is
//   active: OnSetActive puts it there and OnKillActive empties it.
// - A save command (1016, WM_COMMAND) that reaches the page goes on to its sheet, so a save
//   issued while a page has the focus reaches the sheet.
#pragma once

#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include <QString>

class QCheckBox;

class COptionPage : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kHeadingHeight = 24;
    static constexpr int kHeadingX = 8;

    COptionPage(UINT templateId, const QString& heading, const CString& tabCaption);

    const QString& Heading() const { return m_heading; }

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

protected:
    // A check box of the page with its control id as objectName.
    QCheckBox* MakeCheckBox(UINT id, const QString& text, const QRect& at);

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* e) override;

private:
    QString m_heading;
    CString m_tabCaption;
};
