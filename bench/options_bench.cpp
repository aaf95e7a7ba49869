// options_bench - the options dialog: opening it (the three pages loaded from the registry, the
// sheet run, the first page made and painted once, then cancelled), and one save that changes
// every option but the password while a window registered as the calendar and the contacts
// program answers every message (each save flips the options, so every save writes about 15
// values and sends 10 messages). Run by hand, headless:
//   build/bin/options_bench
// (the goals are at most 100 ms per opening and 50 ms per save).
#include "optionrecords.h"
#include "programwindow.h"
#include "widgets/modaldialog.h"
#include "widgets/optionsheet.h"
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// Answers every message, as a running program does.
class Peer : public QObject {
public:
    int received = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != ZuMessageEvent::eventType())
            return QObject::event(e);
        ++received;
        static_cast<ZuMessageEvent*>(e)->setResult(0);
        return true;
    }
};

void freshHome(QTemporaryDir& home, QTemporaryDir& runtime)
{
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
}

void BM_OpenOptionDialog(benchmark::State& state)
{
    QTemporaryDir home, runtime;
    freshHome(home, runtime);
    GetCalendarOpt();
    for (auto _ : state) {
        COptionSheet sheet(CString(L"환경설정"));
        ZuModalHandlerScope scope([](QDialog& d) {
            QImage frame(d.size(), QImage::Format_ARGB32_Premultiplied);
            d.render(&frame);
        });
        sheet.DoModal();
    }
}
BENCHMARK(BM_OpenOptionDialog)->Unit(benchmark::kMillisecond);

void BM_SaveWithLivePeers(benchmark::State& state)
{
    QTemporaryDir home, runtime;
    freshHome(home, runtime);
    Peer peer;
    const HWND hwnd = ZuRegisterMainWindow(&peer);
    WriteRegistryHWND(hwnd, L"Calendar");
    WriteRegistryHWND(hwnd, L"Contact");
    bool on = true;
    for (auto _ : state) {
        state.PauseTiming();
        COptionSheet sheet(CString(L"환경설정"));
        ZuModalHandlerScope scope([&](QDialog&) {
            const auto set = [&](UINT id, bool value) {
                if (auto* box = sheet.GetActivePage()->findChild<QCheckBox*>(QString::number(id)))
                    box->setChecked(value);
            };
            set(1000, on);
            sheet.SetActivePage(1);
            for (UINT id : {1009u, 1010u, 1011u})
                set(id, on);
            if (auto* start = sheet.GetActivePage()->findChild<QComboBox*>(QStringLiteral("1012")))
                start->setCurrentIndex(on ? 8 : 6);
            sheet.SetActivePage(2);
            for (UINT id : {1004u, 1017u, 1007u})
                set(id, on);
            state.ResumeTiming();
            sheet.OnSave();
            state.PauseTiming();
        });
        sheet.DoModal();
        on = !on;
        state.ResumeTiming();
    }
    state.counters["messages"] = benchmark::Counter(peer.received, benchmark::Counter::kAvgIterations);
    ZuUnregisterMainWindow(&peer);
}
BENCHMARK(BM_SaveWithLivePeers)->Unit(benchmark::kMillisecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
