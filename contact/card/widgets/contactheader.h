// contactheader.h - the panel at the top of the card: picture, header lines and the note toggle.
//
// The lines are company, department, job title, work telephone and mobile, those present, one per
// line (16 px apart from y 6), at x 115 when the contact has a picture and at x 10 otherwise. The
// picture (0x8200) shows in a bordered box of 90 × 100 at x 7, y 5, scaled to fit. The toggle 1008
// (bitmap 184 released, 134 pressed) sits at the panel's right edge when the contact has a note;
// each click flips it and emits noteToggled.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QPointer>
#include <QWidget>
#include <vector>

#include "photobox.h"
#include "widgets/bmpbutton.h"

class CContactData;

class CContactHeader : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPictureX = 7, kPictureY = 5;
    static constexpr int kTextXWithPicture = 115, kTextX = 10;
    static constexpr int kLineHeight = 16, kFirstLineY = 6;

    explicit CContactHeader(QWidget* parent = nullptr);
    void SetContact(const CContactData& data);

    const std::vector<CString>& GetLines() const { return m_lines; }
    int GetTextX() const { return m_hasPicture ? kTextXWithPicture : kTextX; }
    bool HasPicture() const { return m_hasPicture; }
    CPhotoBox* GetPhotoBox() const { return m_box; }
    CBmpButton* GetNoteToggle() const { return m_toggle; }
    bool IsNoteShown() const { return m_noteShown; }
    void SetNoteShown(bool shown);
    // The panel's height for what it shows.
    int PanelHeight() const;

signals:
    void noteToggled(bool shown);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::vector<CString> m_lines;
    bool m_hasPicture = false;
    bool m_noteShown = false;
    QPointer<CPhotoBox> m_box;
    QPointer<CBmpButton> m_toggle;
};
