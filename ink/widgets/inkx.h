// inkx.h - the ink note window: handwriting and typed text on one page.
//
// The window answers the messages of inkmessages.h. Input:
// - pen mode 0 (draw): mouse, tablet pen or one finger draws a stroke; a tap places the caret,
//   on a text block at its end, elsewhere for a new block. Typed keys and the input method's
//   commits go into that block; the input method's preedit (a Hangul syllable being composed) is
//   drawn at the caret, underlined, and stored only once committed;
// - pen mode 1 (select): a rectangle drawn selects what it touches; dragging a selected item
//   moves the selection;
// - pen mode 2 (insert space): dragging down from a line moves everything below it down.
//
// The note's bytes (inkdata.h) are handed back exactly as loaded until the first edit, so a note
// that is only looked at never changes. Bytes this window cannot read (another version, damaged,
// beyond 4 MiB, a section it must understand) show "표시할 수 없는 메모", cannot be edited and
// are handed back byte for byte; only selecting everything and clearing replaces them.
// An edit that would grow the note beyond 4 MiB is not taken.
#pragma once

#include "inkdata.h"
#include "inkmessages.h"

#include <QWidget>

class ZuMessageEvent;

class CInkX : public QWidget {
    Q_OBJECT
public:
    explicit CInkX(QWidget* parent = nullptr, bool bordered = false);

    // The note as shown (after the edits so far) and what the window reports.
    const InkNote& Note() const { return m_note; }
    InkRead ReadState() const { return m_read; }
    QByteArray Data() const;
    int PenMode() const { return m_mode; }
    const INKVIEWATTR& ViewAttr() const { return m_view; }
    bool VoiceBar() const { return m_voiceBar; }
    int SelectedCount() const;

    // Where a point of the note (1/100 px) is drawn in the window, and back.
    QPointF ToWindow(QPoint note) const;
    QPoint ToNote(QPointF window) const;

    // The height of the voice bar strip at the top, when shown.
    static constexpr int kVoiceBarHeight = 22;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void tabletEvent(QTabletEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    LRESULT OnMessage(const ZuMessageEvent& m);
    void Load(const QByteArray& bytes);
    bool Editable() const { return m_read == InkRead::Empty || m_read == InkRead::Ours; }
    void Changed();
    bool Fits(qsizetype more) const;

    void PenDown(QPointF at);
    void PenMove(QPointF at);
    void PenUp(QPointF at);
    void Type(const QString& text);
    void Backspace();

    QRect ItemBounds(const InkItem& item) const;  // 1/100 px
    int HitItem(QPoint note) const;               // -1 for none
    QFont TextFont(const InkText& t) const;       // at the window's zoom
    QRect CaretRect() const;                      // window coordinates

    void SelectAll(bool all);
    void Copy();
    void Paste();
    void DeleteSelection();

    InkNote m_note;
    QByteArray m_loaded;       // the bytes as loaded; handed back until the first edit
    bool m_dirty = false;      // edited since loading
    InkRead m_read = InkRead::Empty;
    bool m_allChosen = false;  // everything selected (also a placeholder's bytes)
    std::vector<bool> m_selected;

    int m_mode = INK_PEN_DRAW;
    INKVIEWATTR m_view;
    bool m_voiceBar = false;
    bool m_bordered = false;

    // The pen while it is down.
    enum class Drag { None, Stroke, Rubber, Move, Space };
    Drag m_drag = Drag::None;
    QPointF m_downAt;  // window coordinates
    QPointF m_penAt;
    InkStroke m_stroke;
    bool m_moved = false;

    int m_textItem = -1;            // the text block being typed into
    QPoint m_caret{500, 500};       // where a new block starts (1/100 px)
    bool m_caretShown = false;
    QString m_preedit;

    COLORREF m_colour = 0;       // black
    quint32 m_width = 150;       // 1.5 px
    qint32 m_textHeight = 1300;  // 13 px
};
