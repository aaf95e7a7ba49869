// viewhost.h - a frame for the graphic views' tests: the window the view lives in and the
// document's frame in one, recording what the document and the view ask of it.
#pragma once

#include "calendarfixture.h"
#include "testhome.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace viewtest {

struct Editor {
    int kind;
    SYSTEMTIME date;
    bool anniversary;
};

struct Notice {
    std::string subject, time;
    COLORREF color;
};

class ViewHost : public QWidget, public ICalendarFrame {
public:
    std::map<int, QWidget*> views;  // graphic views by type
    std::vector<std::pair<int, int>> switches;
    std::vector<Editor> editors;
    std::vector<std::pair<int, DWORD>> cards;
    std::vector<FILETIME> cardStarts;  // the occurrence each card was opened on
    std::vector<Notice> notices;
    bool labelUp = false;

    QObject* ViewFor(int type, int style) override
    {
        if (style != ZU_STYLE_GRAPHIC)
            return nullptr;
        auto it = views.find(type);
        return it == views.end() ? nullptr : it->second;
    }
    QObject* ActiveView() override { return nullptr; }
    void SwitchView(int type, int style) override { switches.emplace_back(type, style); }
    void SetCaption(const CString&, COLORREF, const SYSTEMTIME&) override {}
    void SetWindowTitle(const CString&) override {}
    void CloseDateDropDown() override {}
    void SetCategoryButtonText(const CString&) override {}
    void SetViewTypeButtons(int) override {}
    void SetStyleButton(int) override {}
    void SetContentButtons(DWORD) override {}
    void HideLeftScrollBar() override {}
    void SetListBigFont(bool) override {}
    void InvalidateListView() override {}
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>&) override { return 0; }
    bool RunCategorySheet(std::vector<int>&) override { return false; }
    void RunRecordEditor(int kind, const SYSTEMTIME& date, bool anniversary) override
    {
        editors.push_back({kind, date, anniversary});
    }
    void ShowOptions() override {}
    DWORD MainWindowHandle() override { return 0; }
    void OpenRecordCard(int selector, DWORD oid, const FILETIME& start) override
    {
        cards.emplace_back(selector, oid);
        cardStarts.push_back(start);
    }
    // As the main frame's label: a call while it shows hides it.
    void ShowNotification(const CString& subject, const CString& time, COLORREF color) override
    {
        if (labelUp) {
            labelUp = false;
            return;
        }
        labelUp = true;
        notices.push_back({calfix::utf8(subject), calfix::utf8(time), color});
    }
    void HideNotification() override { labelUp = false; }
};

// Counts the WM_ITEMS_LOADED a view gets.
class LoadCounter : public QObject {
public:
    int loads = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED)
            ++loads;
        return false;
    }
};

inline bool waitFor(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QTest::qWait(5);
    return done();
}

inline SYSTEMTIME date(int y, int m, int d, int h = 0)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    return st;
}

inline std::string text(const SYSTEMTIME& st)
{
    char out[40];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return out;
}

inline bool recordExists(int selector, CEOID oid)
{
    CCeDBDatabase db;
    return GetDatabasePtr(&db, selector) && db.SeekToRecord(oid);
}

inline QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The widget's pixels in logical coordinates.
inline QImage pixels(QWidget* w)
{
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (img.devicePixelRatio() != 1.0)
        img = img.scaled(w->size());
    return img;
}

inline bool hasColour(const QImage& img, QColor c, QRect within)
{
    const QRect r = within & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}

}  // namespace viewtest
