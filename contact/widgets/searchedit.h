// searchedit.h - the quick-search box: tells its text with the input method's preedit, so the
// list follows each key and not only each committed syllable.
#pragma once

#include <QLineEdit>

class CContactSearchEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CContactSearchEdit(QWidget* parent = nullptr);
    // The committed text followed by the syllable being composed.
    QString SearchText() const { return text() + m_preedit; }
    bool Composing() const { return !m_preedit.isEmpty(); }

signals:
    void searchChanged(const QString& text, bool composing);

protected:
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    QString m_preedit;
};
