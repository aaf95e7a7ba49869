// controltestsupport.h - what the control tests share: a parent window that keeps the messages
// its controls send, and a popup-menu handler for the length of one test.
#pragma once

#include "popupmenu.h"
#include "windowmessage.h"

#include <QWidget>

#include <vector>

struct SentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records every ZuMessageEvent.
class RecordingParent : public QWidget {
public:
    std::vector<SentMessage> got;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType()) {
            auto* m = static_cast<ZuMessageEvent*>(e);
            got.push_back({m->message(), m->wParam(), m->lParam()});
            m->accept();
            return true;
        }
        return QWidget::event(e);
    }
};

// Installs a popup-menu handler and puts the previous one back at the end of the scope.
class PopupMenuHandlerScope {
public:
    explicit PopupMenuHandlerScope(ZuPopupMenuHandler handler) : m_old(ZuSetPopupMenuHandler(std::move(handler))) {}
    ~PopupMenuHandlerScope() { ZuSetPopupMenuHandler(std::move(m_old)); }

private:
    ZuPopupMenuHandler m_old;
};
