// indexheader.h - the nine index buttons under the tool bar: the whole list, the six Hangul
// initial groups, Latin letters, and digits with punctuation. Each item is the client width
// divided by nine, rounded up; a press tells the button's number.
#pragma once

#include <QWidget>

class CIndexHeader : public QWidget {
    Q_OBJECT
public:
    explicit CIndexHeader(QWidget* parent = nullptr);
    int ItemWidth() const { return (width() + 8) / 9; }
    int ButtonAt(QPoint pos) const;
    static QString Label(int button);

signals:
    void indexPressed(int button);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};
