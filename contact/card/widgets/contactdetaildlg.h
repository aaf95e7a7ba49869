// contactdetaildlg.h - the contact card (dialog template 131): one contact, read-only.
//
// From the top: the header panel (CContactHeader), the rows (a CFieldListCtrl of label and value,
// one per filled field of the card's table), and the bar with edit (1009) and delete (1010).
// A contact with a note (0x0017) gets an ink window (bordered, "InkX") over the rows, shown while
// the header's toggle is pressed (WM_USER + 220, wParam 5 shows, 0 hides).
// - Edit: the editor sheet on this contact; saved, the card reloads it; a failed save has told
//   the user and the card stays as it was.
// - Delete: "주소록을 지우시겠습니까?" (OK / Cancel); on OK the contact is deleted with its
//   category references and the card ends with IDOK; a failed delete is told and the card stays.
// The card ends with IDCANCEL when closed.
#pragma once

#include "contactdata.h"

#include <QDialog>
#include <QPointer>

#include "contactheader.h"
#include "fieldlistctrl.h"

class CContactDetailDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 131;
    static constexpr int kWidth = 240, kHeight = 294, kBarHeight = 26;

    explicit CContactDetailDlg(QWidget* parent = nullptr);
    // Loads the contact of that object id; FALSE (and an empty card) when it cannot be read.
    BOOL SetContact(CEOID id);
    CEOID GetContactId() const { return m_id; }
    const CContactData& GetData() const { return m_data; }
    int DoModal();

    void OnEdit();
    // Closing the card (Esc, the window's close) ends it with IDCANCEL.
    void reject() override;
    void OnDelete();

    CContactHeader* GetHeader() const { return m_header; }
    CFieldListCtrl* GetRows() const { return m_rows; }
    QWidget* GetInkWindow() const { return m_ink; }

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void fill();
    void layout();
    void showNote(bool show);

    CEOID m_id = 0;
    CContactData m_data;
    QPointer<CContactHeader> m_header;
    QPointer<CFieldListCtrl> m_rows;
    QPointer<QWidget> m_bar;
    QPointer<CBmpButton> m_edit;
    QPointer<CBmpButton> m_delete;
    QPointer<QWidget> m_ink;
};
