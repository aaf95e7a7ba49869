#include "modaldialog.h"

#include <QPointer>

namespace {
ZuModalHandler& handlerSlot()
{
    static ZuModalHandler handler;
    return handler;
}
}  // namespace

ZuModalHandler ZuSetModalHandler(ZuModalHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

int ZuRunModal(QDialog* dialog)
{
    if (!dialog)
        return -1;
    ZuModalHandler handler = handlerSlot();  // a copy: the handler may replace itself
    if (!handler)
        return dialog->exec();

    bool finished = false;
    int result = 0;
    QPointer<QDialog> guard(dialog);
    const auto connection = QObject::connect(dialog, &QDialog::finished, dialog, [&](int r) {
        finished = true;
        result = r;
    });
    dialog->setModal(true);
    dialog->show();
    handler(*dialog);
    if (guard && !finished)
        dialog->reject();
    if (guard) {
        QObject::disconnect(connection);
        dialog->hide();
    }
    return finished ? result : guard ? guard->result() : 0;
}
