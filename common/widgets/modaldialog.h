// modaldialog.h - the one way this suite runs a dialog modally.
//
// Every modal dialog (property sheets, wizards, nested sheets) runs through `ZuRunModal`, so tests
// can drive it instead of a user (`ZuSetModalHandler`), as they answer message boxes
// (messagebox.h). A handler is given the dialog once it is shown, with its controls made; it names
// the dialog it expects (objectName or type) and answers it, by clicking and typing as a user
// would or by calling done(). When the handler returns and the dialog still runs, the dialog is
// cancelled (reject()).
#pragma once

#include <QDialog>

#include <functional>
#include <utility>

// Shows the dialog modally and returns its result (the value given to done()). Without a handler
// this is QDialog::exec().
int ZuRunModal(QDialog* dialog);

// A handler sees every modal dialog instead of the user; an empty function puts the normal event
// loop back. Returns the previous handler. A dialog the handler opens in turn (a nested sheet)
// comes to the handler too.
using ZuModalHandler = std::function<void(QDialog& dialog)>;
ZuModalHandler ZuSetModalHandler(ZuModalHandler handler);

// Installs a handler for the length of a scope and puts the previous one back at its end.
class ZuModalHandlerScope {
public:
    explicit ZuModalHandlerScope(ZuModalHandler handler) : m_old(ZuSetModalHandler(std::move(handler))) {}
    ~ZuModalHandlerScope() { ZuSetModalHandler(std::move(m_old)); }
    ZuModalHandlerScope(const ZuModalHandlerScope&) = delete;
    ZuModalHandlerScope& operator=(const ZuModalHandlerScope&) = delete;

private:
    ZuModalHandler m_old;
};
