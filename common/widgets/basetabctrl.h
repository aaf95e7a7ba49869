// basetabctrl.h - a tab strip that can draw its tabs itself.
//
// With owner drawing on (EnableDraw(TRUE)) the strip paints everything: the background colour
// (SetBkgndColor), then for each tab DrawItemBorder and DrawItem (the tab's image of the image list,
// then its text), then DrawMainBorder; derived strips override these and the two colour queries
// for their look. The plain look: tabs filled with GetTabColor, a one-pixel frame in the shadow
// grey around each tab, the image at 3 px from the tab's left edge, centred vertically, the text
// after it. Every tab is kTabHeight pixels high and as wide as its image and text need (at least
// kMinTabWidth); the strip lies below its pages, so the tabs hang from its top edge.
// Without owner drawing the strip is a plain QTabBar.
#pragma once

#include "wintypes.h"
#include "zuimagelist.h"

#include <QTabBar>

class QPainter;

class CBaseTabCtrl : public QTabBar {
    Q_OBJECT
public:
    static constexpr int kTabHeight = 22;
    static constexpr int kMinTabWidth = 24;

    // id becomes the objectName (0: none).
    explicit CBaseTabCtrl(QWidget* parent = nullptr, UINT id = 0);

    // The strip's background; returns the previous colour.
    COLORREF SetBkgndColor(COLORREF color);
    COLORREF GetBkgndColor() const { return m_bkgnd; }
    // Owner drawing on (TRUE) or off.
    void EnableDraw(BOOL enable);
    BOOL IsDrawEnabled() const { return m_draw; }

    // The tab images (the strip keeps a copy); a tab shows the image SetItemImage gave it.
    void SetImageList(const CZuImageList& images);
    const CZuImageList& GetImageList() const { return m_images; }
    // The image of a tab (-1: none); FALSE for an index out of range.
    BOOL SetItemImage(int index, int image);
    int GetItemImage(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    virtual void DrawItem(QPainter* painter, int index, const QRect& rect, bool selected);
    virtual void DrawItemBorder(QPainter* painter, int index, const QRect& rect, bool selected);
    virtual void DrawMainBorder(QPainter* painter, const QRect& rect);
    virtual COLORREF GetTabColor(bool selected) const;
    virtual COLORREF GetTabTextColor(bool selected) const;

    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    COLORREF m_bkgnd;
    BOOL m_draw = FALSE;
    CZuImageList m_images;
};
