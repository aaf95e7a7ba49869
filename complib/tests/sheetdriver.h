// sheetdriver.h - what the record dialogs' tests do as a user would on an event sheet (find a
// control, tap OK, pick from a list, type into one), and a stored appointment to open them on.
#pragma once

#include "poomapplication.h"
#include "resource.h"
#include "widgets/cecommandbarex.h"
#include "widgets/makeeventsheet.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace sheetdriver {

// The sheet's or page's control with the id, null when there is none.
template <class T>
T* child(QWidget& w, UINT id)
{
    return w.findChild<T*>(QString::number(id));
}

// Taps OK on the event sheet's bar.
inline void tapOk(QDialog& d)
{
    auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
    ASSERT_NE(sheet, nullptr);
    CCeCommandBarEx* bar = sheet->GetCommandBarPtr();
    ASSERT_NE(bar, nullptr);
    const int index = bar->CommandToIndex(ZuCompLibRes::IdSheetOk);
    ASSERT_GE(index, 0);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->GetItemRect(index).center());
}

// Picks the entry as a tap in the open list would.
inline void choose(QComboBox* box, int index)
{
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Replaces an editable list's text as typed (Hangul comes committed from the input method).
inline void typeInto(QComboBox* box, const QString& s)
{
    ASSERT_NE(box, nullptr);
    box->lineEdit()->selectAll();
    box->lineEdit()->insert(s);
    emit box->lineEdit()->editingFinished();
}

// A stored appointment written through the object model: "회의" on 2024-05-21 09:15 for 50
// minutes, busy, reminded 15 minutes before; `fill` changes what a test needs.
inline CEOID storeAppointment(const std::function<void(CPoomAppointment&)>& fill)
{
    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
    item->put_Subject(L"회의");
    item->put_Start(COleDateTime(2024, 5, 21, 9, 15, 0).m_dt);
    item->put_Duration(50);
    item->put_AllDayEvent(0);
    item->put_BusyStatus(2);
    item->put_ReminderSet(1);
    item->put_ReminderMinutesBeforeStart(15);
    fill(*item);
    EXPECT_EQ(item->Save(), S_OK);
    CEOID oid = 0;
    item->get_Oid(&oid);
    return oid;
}

}  // namespace sheetdriver
